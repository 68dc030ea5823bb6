// The scenario language: one command a line, words separated by blanks, texts
// with blanks in double quotes, "#" starts a comment.
#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

namespace Scenario {

struct Command {
    int line = 0;
    QString text;  // the line as written, without its comment
    QStringList words;
};

class ScriptError : public std::runtime_error {
  public:
    ScriptError(const QString& script, int line, const QString& what);
    QString message;
};

// Splits the script into commands; throws ScriptError for an unclosed quote.
std::vector<Command> parseScript(const QString& text, const QString& scriptName);
// Checks each command's name and word count before anything runs.
void checkScript(const std::vector<Command>& commands, const QString& scriptName);

}  // namespace Scenario
