// A Qt generic plugin that acts as the user inside the real program (loaded with
// QT_QPA_GENERIC_PLUGINS=useragent). $TALVEX_AGENT_SCENARIO chooses what the user does:
// - "cut": drops the clip $TALVEX_AGENT_CLIP on the play list, presses Play, cuts the clip
//   through the play bar's edit mode and the output page into $TALVEX_AGENT_OUTPUT, confirms the
//   finished page and closes the main window;
// - "export": the same cut, with a Replace answered when the output's name is taken, up to the
//   progress page, and then leaves the export running;
// - "shown": only waits for the main window to be shown;
// - "datafolder": changes the date format, drops the clip on the list and waits until it is
//   loaded, takes a snapshot, opens the calendar, deletes the ride data through the shared
//   dialog's page, returns to the player and closes the main window;
// - "critical": closes the critical message box that comes, recording its text.
// It writes each step reached, one a line, to $TALVEX_AGENT_STATUS and never to the terminal.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <functional>

namespace {

constexpr int pollIntervalMs = 50;

template <typename T = QWidget> T *visibleWidget(const char *name)
{
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget->objectName() == QLatin1String(name) && widget->isVisible())
            return qobject_cast<T *>(widget);
    }
    return nullptr;
}

QWidget *mainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("MainWindow") && widget->windowHandle() &&
            widget->windowHandle()->isExposed())
            return widget;
    }
    return nullptr;
}

// A visible child of the main window of class className.
QWidget *visiblePanel(const char *className)
{
    QWidget *window = mainWindow();
    if (!window)
        return nullptr;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

bool click(const char *name)
{
    auto *button = visibleWidget<QAbstractButton>(name);
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

// Triggers the main window's menu action of that object name, as choosing it in its menu does.
bool trigger(const char *name)
{
    QWidget *window = mainWindow();
    auto *action = window ? window->findChild<QAction *>(QLatin1String(name)) : nullptr;
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}

// The list takes files the way a drag from a file manager brings them.
bool dropOnList(const QString &path)
{
    QWidget *list = visiblePanel("FormList");
    if (!list)
        return false;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint centre = list->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list, &drop);
    return true;
}

// Whether the play bar's clock shows more than 00:00 in its field: 0 the position, 1 the length.
bool clockPastZero(int field)
{
    const auto *clock = visibleWidget<QLabel>("labelTime");
    return clock && clock->text()
                        .section(QStringLiteral(" / "), field, field)
                        .contains(QRegularExpression(QStringLiteral("[1-9]")));
}

bool closeMainWindow()
{
    if (visibleWidget("f_pv"))
        return false;
    QWidget *window = mainWindow();
    return window && window->close();
}

using Step = QPair<const char *, std::function<bool()>>;

class UserAgent : public QObject
{
public:
    UserAgent()
        : clip(qEnvironmentVariable("TALVEX_AGENT_CLIP")),
          output(qEnvironmentVariable("TALVEX_AGENT_OUTPUT")),
          status(qEnvironmentVariable("TALVEX_AGENT_STATUS"))
    {
        const QString scenario = qEnvironmentVariable("TALVEX_AGENT_SCENARIO");
        if (scenario == QLatin1String("cut"))
            steps = cutSteps();
        else if (scenario == QLatin1String("export"))
            steps = exportSteps() << Step{"export running", [] { return isExporting(); }};
        else if (scenario == QLatin1String("shown"))
            steps = {{"window shown", [] { return mainWindow() != nullptr; }}};
        else if (scenario == QLatin1String("datafolder"))
            steps = dataFolderSteps();
        else if (scenario == QLatin1String("critical"))
            steps = {{"message box closed", [this] { return closeCriticalBox(); }}};
        else
            record(QStringLiteral("unknown scenario: ") + scenario);
        timer.setInterval(pollIntervalMs);
        QObject::connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start();
    }

private:
    // Up to the output page's OK.
    QVector<Step> exportSteps()
    {
        return {
            {"window shown", [] { return mainWindow() != nullptr; }},
            {"clip dropped", [this] { return dropOnList(clip); }},
            {"clip loaded", [] { return clockPastZero(1); }},
            {"play pressed", [] { return click("btnPlay"); }},
            {"clip plays", [] { return clockPastZero(0); }},
            {"edit pressed", [] { return click("btnEdit"); }},
            // both cameras shown and no second camera's file: a prompt comes first
            {"edit mode",
             [] {
                 click("supportPrompt_okbtn");
                 return visibleWidget("btnEditOk") != nullptr;
             }},
            {"span confirmed", [] { return click("btnEditOk"); }},
            {"output page", [this] { return setOutput(); }},
            {"export started", [] { return click("os_btn_ok"); }},
        };
    }
    QVector<Step> cutSteps()
    {
        QVector<Step> all = exportSteps();
        all += {
            {"finished", [this] { return hasFinished(); }},
            {"dialog closed", [] { return click("pv_btn_ok"); }},
            {"window closed", [] { return closeMainWindow(); }},
        };
        return all;
    }
    QVector<Step> dataFolderSteps()
    {
        return {
            {"window shown", [] { return mainWindow() != nullptr; }},
            {"date format changed", [] { return trigger("actionDate_YMD"); }},
            {"clip dropped", [this] { return dropOnList(clip); }},
            {"clip loaded", [] { return clockPastZero(1); }},
            // a frame is needed: tried again until the snapshot is there
            {"snapshot taken", [] { return trigger("actionSnapshot") && hasSnapshot(); }},
            {"calendar chosen", [] { return trigger("actionCalendar"); }},
            {"calendar shown", [] { return visiblePanel("FormPlaybak") != nullptr; }},
            {"delete asked", [] { return trigger("actionDelete_Ride_Data"); }},
            {"delete confirmed", [] { return click("deleteMetadataFile_btn_ok"); }},
            {"player chosen",
             [] { return !visibleWidget("f_deleteMetadataFile") && trigger("actionPlayer"); }},
            {"player shown", [] { return visiblePanel("FormPlaybak") == nullptr; }},
            {"window closed", [] { return closeMainWindow(); }},
        };
    }
    // The progress page is shown, after a question whether to replace the output's file, when
    // one comes, has been answered with Replace.
    static bool isExporting()
    {
        QAbstractButton *replace = nullptr;
        for (QWidget *widget : QApplication::allWidgets()) {
            auto *button = qobject_cast<QAbstractButton *>(widget);
            if (button && button->isVisible() &&
                button->text().remove(QLatin1Char('&')) == QLatin1String("Replace"))
                replace = button;
        }
        if (replace) {
            replace->click();
            return false;
        }
        return visibleWidget("f_pv") != nullptr && !visibleWidget("pvErr_la_msg");
    }
    static bool hasSnapshot()
    {
        return !QDir(QStringLiteral("Snapshot"))
                    .entryList({QStringLiteral("*.jpg")}, QDir::Files)
                    .isEmpty();
    }
    bool setOutput()
    {
        auto *field = visibleWidget<QLineEdit>("os_le");
        if (!visibleWidget("f_os") || !field)
            return false;
        field->setText(output);
        return true;
    }
    bool hasFinished()
    {
        if (const auto *error = visibleWidget<QLabel>("pvErr_la_msg")) {
            record(QStringLiteral("error page: ") + error->text());
            timer.stop();
            QCoreApplication::exit(1); // the test reads why from the status file
            return false;
        }
        const auto *message = visibleWidget<QLabel>("pv_la_msg");
        return message && message->text() == QStringLiteral("Finished.");
    }
    bool closeCriticalBox()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (box && box->isVisible() && box->icon() == QMessageBox::Critical) {
                record(QStringLiteral("message: ") + box->text());
                box->accept();
                return true;
            }
        }
        return false;
    }
    void poll()
    {
        if (next >= steps.size() || !steps.at(next).second())
            return;
        record(QString::fromLatin1(steps.at(next).first));
        if (++next == steps.size())
            timer.stop();
    }
    void record(const QString &line)
    {
        QFile file(status);
        if (file.open(QIODevice::Append))
            file.write(line.toUtf8() + '\n');
    }

    const QString clip;
    const QString output;
    const QString status;
    QVector<Step> steps;
    int next = 0;
    QTimer timer;
};

} // namespace

class UserAgentPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "useragent.json")
public:
    QObject *create(const QString &, const QString &) override { return new UserAgent; }
};

#include "useragent.moc"
