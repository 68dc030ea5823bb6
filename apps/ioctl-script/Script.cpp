#include "Script.h"

#include "Runner.h"

#include <map>

namespace Scenario {

ScriptError::ScriptError(const QString& script, int line, const QString& what)
    : std::runtime_error((script + ":" + QString::number(line) + ": " + what).toStdString()),
      message(script + ":" + QString::number(line) + ": " + what)
{}

namespace {

QStringList splitWords(const QString& line, const QString& scriptName, int number, QString& withoutComment)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    int end = static_cast<int>(line.size());
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                word += QLatin1Char('"');
                ++i;
            } else {
                word += c;
            }
            continue;
        }
        if (c == QLatin1Char('#')) {
            end = i;
            break;
        }
        if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (quoted) throw ScriptError(scriptName, number, "a quoted text is not closed");
    if (inWord) words << word;
    withoutComment = line.left(end).trimmed();
    return words;
}

}  // namespace

std::vector<Command> parseScript(const QString& text, const QString& scriptName)
{
    std::vector<Command> commands;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        Command command;
        command.line = i + 1;
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        command.words = splitWords(line, scriptName, command.line, command.text);
        if (!command.words.isEmpty()) commands.push_back(command);
    }
    return commands;
}

void checkScript(const std::vector<Command>& commands, const QString& scriptName)
{
    for (const auto& command : commands) {
        const QString& name = command.words.front();
        const auto* rule = Runner::findCommand(name);
        if (rule == nullptr) throw ScriptError(scriptName, command.line, "unknown command '" + name + "'");
        const int count = static_cast<int>(command.words.size()) - 1;
        const int fewest = rule->fewest;
        const int most = rule->most;
        if (count < fewest) {
            throw ScriptError(scriptName, command.line,
                              "'" + name + "' needs at least " + QString::number(fewest) +
                                  (fewest == 1 ? " word" : " words") + " after it");
        }
        if (most >= 0 && count > most) {
            throw ScriptError(scriptName, command.line,
                              "'" + name + "' takes at most " + QString::number(most) +
                                  (most == 1 ? " word" : " words") + " after it");
        }
    }
}

}  // namespace Scenario
