#include "viewer/main/ViewerAutomation.h"

#include "viewer/list/CTabList.h"
#include "viewer/main/CTachyPlayerDlg.h"
#include "viewer/app/ViewerCommands.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

QString ViewerAutomation::Usage() {
    return QStringLiteral("usage: tachyPlayer [--open PATH [--play] [--row N] [--seek-key K] [--screenshot FILE] "
                          "[--after MS] [--quit]]");
}

bool ViewerAutomation::Parse(const QStringList& arguments, QString& error) {
    for (int index = 1; index < arguments.size(); ++index) {
        const QString& option = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        bool number = true;
        if (option == QLatin1String("--open") && hasValue) {
            m_open = arguments[++index];
        } else if (option == QLatin1String("--play")) {
            m_play = true;
        } else if (option == QLatin1String("--row") && hasValue) {
            m_row = arguments[++index].toInt(&number);
        } else if (option == QLatin1String("--seek-key") && hasValue) {
            m_seekKey = arguments[++index].toInt(&number);
        } else if (option == QLatin1String("--screenshot") && hasValue) {
            m_screenshot = arguments[++index];
        } else if (option == QLatin1String("--after") && hasValue) {
            m_afterMs = arguments[++index].toInt(&number);
        } else if (option == QLatin1String("--quit")) {
            m_quit = true;
        } else {
            error = QStringLiteral("unknown option %1\n%2").arg(option, Usage());
            return false;
        }
        if (!number || m_afterMs < 0) {
            error = QStringLiteral("%1 needs a number\n%2").arg(option, Usage());
            return false;
        }
    }
    return true;
}

void ViewerAutomation::Run(CTachyPlayerDlg& window) {
    QTimer::singleShot(0, &window, [this, &window] {
        if (!m_open.isEmpty() && !window.OpenPath(m_open)) {
            std::fprintf(stderr, "tachyPlayer: no recordings found in %s\n", m_open.toUtf8().constData());
            m_exitCode = 1;
        }
        if (m_row && m_exitCode == 0) {
            window.List()->SelectRow(*m_row);
        }
        if (m_play && m_exitCode == 0) {
            window.Play();
        }
        QTimer::singleShot(m_afterMs, &window, [this, &window] { AfterWait(window); });
    });
}

void ViewerAutomation::AfterWait(CTachyPlayerDlg& window) {
    if (m_seekKey) {
        window.command(viewer::kUserMessage, viewer::kGotoTime, *m_seekKey);
    }
    const auto finish = [this, &window] {
        if (!m_screenshot.isEmpty()) {
            if (window.grab().save(m_screenshot)) {
                std::printf("screenshot: %s\n", m_screenshot.toUtf8().constData());
            } else {
                std::fprintf(stderr, "tachyPlayer: cannot write %s\n", m_screenshot.toUtf8().constData());
                m_exitCode = 1;
            }
        }
        std::printf("pictures shown: %d, %d, %d\n", window.PicturesShown(0), window.PicturesShown(1),
                    window.PicturesShown(2));
        std::fflush(stdout);
        if (m_quit) {
            window.close();
            QApplication::exit(m_exitCode);
        }
    };
    // A seek shows its picture a moment later.
    QTimer::singleShot(m_seekKey ? 500 : 0, &window, finish);
}
