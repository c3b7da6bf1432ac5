// A Qt generic plugin that acts as the user inside the real program (loaded with
// QT_QPA_GENERIC_PLUGINS=cutrunagent): drops the clip $CUT_AGENT_CLIP on the play list, presses
// Play, cuts the clip through the play bar's edit mode and the output page into
// $CUT_AGENT_OUTPUT, confirms the finished page and closes the main window. It writes each step
// reached, one a line, to $CUT_AGENT_STATUS and never to the terminal.
#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
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

bool click(const char *name)
{
    auto *button = visibleWidget<QAbstractButton>(name);
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

// The list takes files the way a drag from a file manager brings them.
bool dropOnList(const QString &path)
{
    QWidget *window = mainWindow();
    if (!window)
        return false;
    QWidget *list = nullptr;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->inherits("FormList") && widget->isVisible())
            list = widget;
    }
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

class CutRunAgent : public QObject
{
public:
    CutRunAgent()
        : clip(qEnvironmentVariable("CUT_AGENT_CLIP")),
          output(qEnvironmentVariable("CUT_AGENT_OUTPUT")),
          status(qEnvironmentVariable("CUT_AGENT_STATUS"))
    {
        steps = {
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
            {"finished", [this] { return hasFinished(); }},
            {"dialog closed", [] { return click("pv_btn_ok"); }},
            {"window closed", [] { return closeWindow(); }},
        };
        timer.setInterval(pollIntervalMs);
        QObject::connect(&timer, &QTimer::timeout, this, [this] { poll(); });
        timer.start();
    }

private:
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
    static bool closeWindow()
    {
        if (visibleWidget("f_pv"))
            return false;
        QWidget *window = mainWindow();
        return window && window->close();
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
    QVector<QPair<const char *, std::function<bool()>>> steps;
    int next = 0;
    QTimer timer;
};

} // namespace

class CutRunAgentPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "cutrunagent.json")
public:
    QObject *create(const QString &, const QString &) override { return new CutRunAgent; }
};

#include "cutrunagent.moc"
