#pragma once

#include "support/scriptedplatform.h"
#include "support/testfiles.h"
#include "window/mainform.h"

#include <QAction>
#include <QDate>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The real window over a fresh data folder holding a template list, with
// every dialog answered by a script. Window test classes derive from it and
// run the window's commands by their action names, as the menus and keys do.
class FormFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<TMainForm> m_form;

    // A fresh data folder with the template list; cards and texts may be put
    // in it before the window opens over it.
    void makeFolder(const QString &templateList = QStringLiteral("Диета\r\n"))
    {
        m_form.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        testsupport::writeFile(path(QStringLiteral("shablon.kmt")), testsupport::cp1251(templateList));
        m_platform = std::make_unique<ScriptedPlatform>();
    }
    // The window over the folder made last, shown unless the title screen is
    // to be seen first.
    void openForm(const QDate &today, TMainForm::Pages pages = TMainForm::Pages::Now)
    {
        m_form.reset();
        m_form = std::make_unique<TMainForm>(m_platform.get(), today, m_dir->path(), nullptr, pages);
        if (pages == TMainForm::Pages::Now)
            m_form->show();
    }
    void makeForm(const QDate &today = QDate(2024, 3, 5), const QString &templateList = QStringLiteral("Диета\r\n"))
    {
        makeFolder(templateList);
        openForm(today);
    }
    void closeForm()
    {
        m_form.reset();
        m_dir.reset();
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    template <typename T = QWidget> T *find(const QString &name) const
    {
        T *w = m_form->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QAction *action(const char *name) const { return find<QAction>(QLatin1String(name)); }
    // Types into a control one key event per character: keyClicks cannot
    // send Cyrillic in this Qt.
    static void typeText(QWidget *w, const QString &text)
    {
        w->setFocus();
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    // Runs a command as its menu item does: a disabled one does nothing.
    void trigger(const char *name) const { action(name)->trigger(); }
};
