#pragma once
// The summary table of the recorder and the cloud account.

#include "pages/SummaryTableView.h"

class CSummaryTable3 : public SummaryTableView
{
    Q_OBJECT
public:
    explicit CSummaryTable3(QWidget* parent);
};
