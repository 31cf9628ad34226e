#pragma once

// Changes another program (or the host itself) makes to the parameter table
// while a host keeps its connection to the account open. Each is written so
// that the embedded database and the server both run it.

#include <QStringList>

struct TableChange {
    const char* name;
    QStringList statements;
};

inline const TableChange TableChanges[] = {
    {"a column added", {"alter table AccInformation add column cNote text"}},
    {"a column dropped", {"alter table AccInformation drop column cCaption"}},
    {"two columns renamed to each other's names",
     {"alter table AccInformation rename column cValue to cSwap",
      "alter table AccInformation rename column cDefault to cValue",
      "alter table AccInformation rename column cSwap to cDefault"}},
    {"the table rebuilt in another column order",
     {"create table AccRebuilt as select cSysID, cName, cDefault, cValue, cType, cID, bVisible, "
      "bEnable, cCaption from AccInformation",
      "drop table AccInformation", "alter table AccRebuilt rename to AccInformation"}},
};
