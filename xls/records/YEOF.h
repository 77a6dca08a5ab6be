// EOF (0x000A): end of a substream; no data.
#pragma once

#include "xls/records/Record.h"

namespace xls {

class YEOF : public Record {
public:
    YEOF() : Record(0x000A, 0) {}
};

}  // namespace xls
