#include "pages/CSummaryTable4.h"

CSummaryTable4::CSummaryTable4(QWidget* parent)
    : SummaryTableView(parent, false, true, 190)
{
    setObjectName(QStringLiteral("CSummaryTable4"));
}
