#pragma once

// The tables of an account database that the wizard uses.

namespace zx::wizard {

struct AccountTable {
    const char* name;
    enum Use { Parameters, Written, Read } use;
};

inline constexpr AccountTable AccountTables[] = {
    {"AccInformation", AccountTable::Parameters},
    {"GL_mend", AccountTable::Written},
    {"GradeDef", AccountTable::Written},
    {"InventoryClass", AccountTable::Written},
    {"CustomerClass", AccountTable::Written},
    {"VendorClass", AccountTable::Written},
    {"Inventory", AccountTable::Read},
    {"Warehouse", AccountTable::Read},
};

}  // namespace zx::wizard
