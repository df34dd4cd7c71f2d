// The Qt form of the program's arguments, read by InvocationWords.
#include "invocation.h"

namespace {

Invocation fromWords(const InvocationWords &words, QString (*decode)(const std::string &))
{
    Invocation invocation;
    invocation.command = decode(words.command);
    for (const std::string &word : words.arguments)
        invocation.arguments << decode(word);
    invocation.desktop = decode(words.desktop);
    invocation.desktopChosen = words.desktopChosen;
    invocation.logFile = decode(words.logFile);
    invocation.help = words.help;
    invocation.error = QString::fromStdString(words.error);
    invocation.route = programRoute(words);
    return invocation;
}

QString fromUtf8(const std::string &word)
{
    return QString::fromStdString(word);
}

QString fromLocal8Bit(const std::string &word)
{
    return QString::fromLocal8Bit(word.data(), qsizetype(word.size()));
}

} // namespace

Invocation Invocation::parse(const QStringList &arguments)
{
    std::vector<std::string> words;
    words.reserve(std::size_t(arguments.size()));
    for (const QString &argument : arguments)
        words.push_back(argument.toStdString());
    return fromWords(InvocationWords::parse(words), &fromUtf8);
}

Invocation Invocation::parse(int argc, char **argv)
{
    return fromWords(InvocationWords::parse(argc, argv), &fromLocal8Bit);
}
