// Command libraries for tests, one per dialect like the real ones, whose templates show every
// argument in brackets, so that a composed header shows which template got which arguments.
// Line ends appear where the composer passes them.
#pragma once

#include "platform/wintypes.h"

#include <map>
#include <string>

namespace nv::test {

// Printer types 1, 3 and 4.
inline const std::map<UINT, std::string> kTemplatesA = {
    {1, "J(%s)%s"},      {4, "TS(%s)%s"},        {5, "TV(%s)%s"},        {7, "CP(%u)%s"},
    {8, "DX(%s)%s"},     {9, "BD(%s)%s"},        {10, "CO(%u)%s"},       {11, "FT(%d)%s"},
    {12, "OW(%s,%s)%s"}, {13, "OA(%d,%s,%s)%s"}, {16, "PR(%s,%d,%d)%s"}, {18, "F18"},
    {21, "PW(%s)%s"},    {22, "PO(%d,%d)%s"},    {26, "PN(%s,%d,%d)%s"}, {27, "SRC(%s)%s"},
    {28, "FS(%s)%s"},
};

// Printer type 2.
inline const std::map<UINT, std::string> kTemplatesB = {
    {1, "J(%s)%s"},          {5, "TV(%s)%s<%s>%s%s"},
    {7, "CP(%u)%s(%u)%s%s"}, {8, "DX(%s)%s<%s>%s%s"},
    {10, "CO%s%s%s"},        {11, "FT%s%s%s"},
    {12, "OW(%s,%s)%s"},     {13, "OA(%d,%s,%s)%s"},
    {16, "PR(%d,%d)%s"},     {18, "F18"},
    {21, "PW(%s)%s"},
};

// Printer type 0.
inline const std::map<UINT, std::string> kTemplatesC = {
    {1, "J(%s)%s"},
    {2, "PS%s"},
    {3, "TN(%u)%s"},
    {4, "TS(%s)%s"},
    {7, "CP(%s,%u)%s"},
    {8, "DX(%s)%s"},
    {9, "BD(%s)%s"},
    {11, "FT(%d)%s"},
    {12, "OW(%s,%s)%s"},
    {13, "OA(%d,%s,%s)%s"},
    {16, "PR(%s,%d,%d)%s"},
    {18, "F18"},
    {19, "F19"},
    {20, "F20"},
    {21, "PW(%s)%s"},
    {22, "PO(%d,%d)%s"},
};

inline const std::map<UINT, std::string>& TemplatesForType(UINT type) {
    if (type == 1 || type == 3 || type == 4) {
        return kTemplatesA;
    }
    return type == 2 ? kTemplatesB : kTemplatesC;
}

} // namespace nv::test
