#pragma once
// The summary table of the recorder and the cameras.

#include "pages/SummaryTableView.h"

class CSummaryTable4 : public SummaryTableView
{
    Q_OBJECT
public:
    explicit CSummaryTable4(QWidget* parent);
};
