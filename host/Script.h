#pragma once

// Scripts of user actions: UTF-8, one action per line, blank lines and
// lines starting with # ignored (the comment lines just above an action are
// kept as its note, for a person watching the run).
//   click NAME | type NAME TEXT | paste NAME TEXT | clear NAME | hover NAME
//   key NAME KEY | set NAME VALUE | close | dump
// TEXT and VALUE are the rest of the line, or a double-quoted string with
// the escapes \" \\ \t \uXXXX and \b (the Backspace key, for type only).
// KEY is Enter, Escape, Space, Tab, Backtab, Delete, Backspace, Home, End,
// Left, Right, or one character.

#include <QString>

#include <optional>
#include <vector>

namespace zx::host {

// One key as a keyboard reports it: its code, modifiers and text.
struct KeyStroke {
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
};

// The key a name stands for (case aside), or the key that types a single
// character; nullopt for anything else.
std::optional<KeyStroke> keyStrokeNamed(const QString& name);
// The key that types `character` (one character, '\b' the Backspace key).
KeyStroke keyStrokeTyping(const QString& character);

struct Action {
    enum Kind { Click, Type, Paste, Clear, Hover, Key, Set, Close, Dump } kind;
    QString control;
    QString text;   // type and paste: the text; set: the value; key: as written
    KeyStroke key;  // for key
    QString note;
    int line = 0;
};

// The words of the grammar, for help texts.
extern const char* const ScriptGrammar;

// nullopt and *error ("line N: ...") when a line is not an action or its
// text is longer than MaxScriptText characters.
std::optional<std::vector<Action>> parseScript(const QString& script, QString* error);

// Bounds that keep a script's memory in proportion: a megabyte of text in a
// box costs a hundred of layout; /dev/zero as a script never ends.
constexpr qsizetype MaxScriptText = 2 * 1024 * 1024;
constexpr qsizetype MaxScriptBytes = 16 * 1024 * 1024;

// The text of a script or profile file ('-': standard input), or nullopt
// and *error when it cannot be read or is larger than MaxScriptBytes.
std::optional<QString> readScriptFile(const QString& path, const QString& what, QString* error);

}  // namespace zx::host
