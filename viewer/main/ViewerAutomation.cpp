#include "viewer/main/ViewerAutomation.h"

#include "viewer/list/CTabList.h"
#include "viewer/main/CTachyPlayerDlg.h"
#include "viewer/app/ViewerCommands.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

QString ViewerAutomation::Usage() {
    return QStringLiteral("usage: tachyPlayer [PATH] [--open PATH] [--play] [--row N] [--seek-key K] "
                          "[--screenshot FILE] [--after MS] [--quit]\n"
                          "       tachyPlayer --help | --version");
}

QString ViewerAutomation::Help() {
    return Usage() + QStringLiteral(
                         "\n\nPlays the recordings of a dash camera's memory card.\n\n"
                         "  PATH, --open PATH   open this card or folder of recordings\n"
                         "  --play              play the selected recording once it is open\n"
                         "  --row N             select row N of the list first (from 0)\n"
                         "  --seek-key K        go to key frame K while playing\n"
                         "  --screenshot FILE   save the window as a picture after --after MS\n"
                         "  --after MS          the wait before the screenshot (default 2000)\n"
                         "  --quit              close once the steps are done\n"
                         "  -h, --help          show this text\n"
                         "  -V, --version       show the version\n");
}

namespace {

// Qt's own options, which QApplication takes from the command line: left to it.
bool IsQtOption(const QString& option, bool& takesValue) {
    static const QStringList withValue = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                          "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-style",
                                          "-stylesheet", "-display", "-geometry", "-session"};
    static const QStringList flags = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};
    takesValue = withValue.contains(option);
    return takesValue || flags.contains(option) || option.startsWith(QLatin1String("-qmljsdebugger="));
}

} // namespace

bool ViewerAutomation::Parse(const QStringList& arguments, QString& error) {
    for (int index = 1; index < arguments.size(); ++index) {
        const QString& option = arguments[index];
        const bool hasValue = index + 1 < arguments.size();
        bool number = true;
        bool qtValue = false;
        if (IsQtOption(option, qtValue)) {
            index += qtValue && hasValue ? 1 : 0;
        } else if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            m_help = true;
        } else if (option == QLatin1String("--version") || option == QLatin1String("-V")) {
            m_version = true;
        } else if (option == QLatin1String("--open") && hasValue) {
            m_open = arguments[++index];
        } else if (!option.startsWith(QLatin1Char('-')) && m_open.isEmpty()) {
            m_open = option;  // a card or folder given as players are given a file
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
