// BOUNDSHEET (0x0085): one sheet of the workbook: its name, visibility and the
// stream position of its BOF, which the save fills in once the layout is known.
#pragma once

#include "xls/records/BiffStrings.h"
#include "xls/records/Record.h"

namespace xls {

class BoundSheet : public Record {
public:
    BoundSheet();
    uint32_t Write(uint8_t* out) override;
    uint32_t DataSize() override;

    uint32_t streamPosition = 0;
    uint8_t visibility = 0;
    uint8_t sheetType = 0;
    SmallString name{std::string("Sheet1")};
};

}  // namespace xls
