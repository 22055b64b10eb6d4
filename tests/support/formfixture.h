#pragma once

#include "support/scriptedplatform.h"
#include "support/testfiles.h"
#include "window/mainform.h"

#include <QDate>
#include <QTemporaryDir>

#include <memory>

// The real window over a fresh data folder holding a template list, with
// every dialog answered by a script. Window test classes derive from it.
class FormFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<TMainForm> m_form;

    void makeForm(const QDate &today, const QString &templateList = QStringLiteral("Диета\r\n"))
    {
        m_form.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        testsupport::writeFile(m_dir->filePath(QStringLiteral("shablon.kmt")), testsupport::cp1251(templateList));
        m_platform = std::make_unique<ScriptedPlatform>();
        m_form = std::make_unique<TMainForm>(m_platform.get(), today, m_dir->path());
        m_form->show();
    }

    template <typename T = QWidget> T *find(const char *name) const
    {
        T *w = m_form->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
};
