// CDEDataSource: the data the note editor offers while its selection is dragged.
#pragma once

#include "framework/OleDataSource.h"

class CDEDataSource : public COleDataSource {
public:
    CDEDataSource() = default;
    ~CDEDataSource() override;
};
