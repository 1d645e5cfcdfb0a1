#include "pages/CSummaryTable3.h"

CSummaryTable3::CSummaryTable3(QWidget* parent)
    : SummaryTableView(parent, true, false, 140)
{
    setObjectName(QStringLiteral("CSummaryTable3"));
}
