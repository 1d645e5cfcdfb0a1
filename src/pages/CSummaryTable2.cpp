#include "pages/CSummaryTable2.h"

CSummaryTable2::CSummaryTable2(QWidget* parent)
    : SummaryTableView(parent, false, false, 85)
{
    setObjectName(QStringLiteral("CSummaryTable2"));
}
