// A script parses into actions or yields one error naming a line, never both.

#include "FuzzCheck.h"
#include "Script.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzzText(data, size);
    QString error;
    const auto actions = zx::host::parseScript(text, &error);
    FUZZ_CHECK(actions.has_value() != !error.isEmpty());
    if (!actions) {
        FUZZ_CHECK(error.startsWith(QLatin1String("line ")));
        return 0;
    }
    static const QRegularExpression name(QStringLiteral("^[A-Za-z][A-Za-z0-9]*$"));
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    int previous = 0;
    for (const auto& action : *actions) {
        FUZZ_CHECK(action.line > previous && action.line <= lines);
        previous = action.line;
        const bool named =
            action.kind != zx::host::Action::Close && action.kind != zx::host::Action::Dump;
        FUZZ_CHECK(named == name.match(action.control).hasMatch());
        if (action.kind == zx::host::Action::Paste || action.kind == zx::host::Action::Set)
            FUZZ_CHECK(!action.text.contains(QLatin1Char('\b')));
        if (action.kind == zx::host::Action::Key)
            FUZZ_CHECK(zx::host::keyStrokeNamed(action.text).has_value());
    }
    return 0;
}
