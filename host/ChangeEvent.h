#pragma once

// One event of a run's change report: a parameter whose value moved
// (`changed`), or a table some of whose rows the run touched
// (`changedTable`).

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

namespace zx::host {

struct ChangeEvent {
    // A parameter: its key and its values as shown, passwords as ***; no
    // value is Null.
    QString sys = {}, name = {};
    std::optional<QString> old = {}, now = {};
    // A table, or empty for a parameter.
    QString table = {};
    int rows = 0;

    QJsonObject toJson() const;
    // toJson() in compact JSON, as QJsonDocument writes it, without building
    // the object: for a report of a few dozen lines, building and writing
    // the objects cost more than the run's own writes.
    QByteArray jsonLine() const;

    friend bool operator==(const ChangeEvent&, const ChangeEvent&) = default;
};

}  // namespace zx::host
