#include "pages/CSummaryTable.h"

CSummaryTable::CSummaryTable(QWidget* parent)
    : SummaryTableView(parent, true, true, 240)
{
    setObjectName(QStringLiteral("CSummaryTable"));
}
