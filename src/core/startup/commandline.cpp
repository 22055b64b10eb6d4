#include "startup/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace vel {

StartupRequest parseCommandLine(const QStringList &arguments, const QString &startDir, const QString &documentsDir)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Электронная картотека врача-диетолога. Без параметров работает в папке, "
                       "из которой запущена."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption dataDirOption(
        {QStringLiteral("d"), QStringLiteral("data-dir")},
        QStringLiteral("Работать в папке <папка>; если её нет, она создаётся, а если в ней нет "
                       "списка шаблонов shablon.kmt, в неё кладутся примеры шаблонов."),
        QStringLiteral("папка"));
    const QCommandLineOption documentsOption(
        QStringLiteral("documents"),
        QStringLiteral("Работать в папке «%1» в папке документов пользователя (%2), так же "
                       "создавая её и заполняя примерами.")
            .arg(kDocumentsFolderName, QDir::toNativeSeparators(documentsDir)));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Сохранить снимок окна в <файл> (PNG) и выйти."),
                                              QStringLiteral("файл"));
    const QCommandLineOption backupOption(
        QStringLiteral("backup"),
        QStringLiteral("Без окна записать резервную копию картотеки в <папку> (архив zip с проверкой), "
                       "удалить устаревшие копии там же и выйти."),
        QStringLiteral("папка"));
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Без окна записать таблицы пациентов и визитов (CSV: «;», даты ДД.ММ.ГГГГ) в <папку> и выйти."),
        QStringLiteral("папка"));
    const QCommandLineOption isoOption(
        QStringLiteral("iso"), QStringLiteral("С --export: разделитель «,», десятичная точка, даты ГГГГ-ММ-ДД."));
    QCommandLineOption quitWhenShownOption(QStringLiteral("quit-when-shown"));
    quitWhenShownOption.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions(
        {dataDirOption, documentsOption, screenshotOption, backupOption, exportOption, isoOption, quitWhenShownOption});

    StartupRequest request;
    auto fail = [&request](const QString &why) {
        request.action = StartupRequest::Action::Fail;
        request.text = why;
        return request;
    };
    const bool parsed = parser.parse(arguments);
    // Asking for help is answered even beside an option the parser does not know.
    if (parser.isSet(helpOption)) {
        request.action = StartupRequest::Action::Help;
        request.text = parser.helpText();
        return request;
    }
    if (parser.isSet(versionOption)) {
        request.action = StartupRequest::Action::Version;
        request.text = QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion() +
                       QLatin1Char('\n');
        return request;
    }
    if (!parsed)
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Лишний параметр: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(dataDirOption) && parser.isSet(documentsOption))
        return fail(QStringLiteral("Укажите только одно из --data-dir и --documents."));

    const QDir start(startDir);
    request.dataDir = start.absolutePath();
    if (parser.isSet(dataDirOption)) {
        const QString dir = parser.value(dataDirOption);
        if (dir.isEmpty())
            return fail(QStringLiteral("Пустое имя папки в --data-dir."));
        request.dataDir = QDir::cleanPath(start.absoluteFilePath(dir));
        request.namedDataDir = true;
    } else if (parser.isSet(documentsOption)) {
        request.dataDir = QDir::cleanPath(QDir(documentsDir).absoluteFilePath(kDocumentsFolderName));
        request.namedDataDir = true;
    }
    request.quitWhenShown = parser.isSet(quitWhenShownOption);
    if (parser.isSet(backupOption) && parser.isSet(exportOption))
        return fail(QStringLiteral("Укажите только одно из --backup и --export."));
    if (parser.isSet(isoOption) && !parser.isSet(exportOption))
        return fail(QStringLiteral("--iso действует только вместе с --export."));
    for (const QCommandLineOption *job : {&backupOption, &exportOption}) {
        if (!parser.isSet(*job))
            continue;
        const QString folder = parser.value(*job);
        if (folder.isEmpty())
            return fail(QStringLiteral("Пустое имя папки в --%1.").arg(job->names().constFirst()));
        request.action = job == &backupOption ? StartupRequest::Action::Backup : StartupRequest::Action::Export;
        request.jobFolder = QDir::cleanPath(start.absoluteFilePath(folder));
        request.isoSheet = parser.isSet(isoOption);
    }
    if (parser.isSet(screenshotOption)) {
        const QString file = parser.value(screenshotOption);
        if (file.isEmpty())
            return fail(QStringLiteral("Пустое имя файла в --screenshot."));
        request.screenshot = QDir::cleanPath(start.absoluteFilePath(file));
    }
    return request;
}

QStringList withoutToolkitOptions(const QStringList &arguments)
{
    // QGuiApplication's and QApplication's options, with one or two dashes.
    static const QStringList withValue = {QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"), QStringLiteral("geometry"),
                                          QStringLiteral("qwindowicon"),     QStringLiteral("qwindowtitle"),
                                          QStringLiteral("title"),           QStringLiteral("display"),
                                          QStringLiteral("style"),           QStringLiteral("stylesheet"),
                                          QStringLiteral("session"),         QStringLiteral("qmljsdebugger")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"),
                                      QStringLiteral("testability")};
    QStringList kept;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--")) { // what follows is no option
            kept << arguments.mid(i);
            break;
        }
        if (i == 0 || !arg.startsWith(u'-')) {
            kept << arg;
            continue;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const int equals = name.indexOf(u'=');
        const bool inlineValue = equals >= 0;
        if (inlineValue)
            name.truncate(equals);
        if (flags.contains(name) && !inlineValue)
            continue;
        if (withValue.contains(name)) {
            if (!inlineValue)
                ++i; // its value follows
            continue;
        }
        kept << arg;
    }
    return kept;
}

} // namespace vel
