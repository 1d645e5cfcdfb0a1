#pragma once
// The summary table of the recorder alone.

#include "pages/SummaryTableView.h"

class CSummaryTable2 : public SummaryTableView
{
    Q_OBJECT
public:
    explicit CSummaryTable2(QWidget* parent);
};
