#pragma once
// The summary table of the recorder, the cloud account and the cameras.

#include "pages/SummaryTableView.h"

class CSummaryTable : public SummaryTableView
{
    Q_OBJECT
public:
    explicit CSummaryTable(QWidget* parent);
};
