#include "mpvcore.h"

#include <QDebug>
#include <QMetaObject>
#include <QPointer>

namespace {

QVariant nodeToVariant(const mpv_node &node)
{
    switch (node.format) {
    case MPV_FORMAT_STRING:
        return QString::fromUtf8(node.u.string);
    case MPV_FORMAT_FLAG:
        return node.u.flag != 0;
    case MPV_FORMAT_INT64:
        return static_cast<qlonglong>(node.u.int64);
    case MPV_FORMAT_DOUBLE:
        return node.u.double_;
    case MPV_FORMAT_NODE_ARRAY: {
        QVariantList list;
        for (int i = 0; i < node.u.list->num; ++i)
            list << nodeToVariant(node.u.list->values[i]);
        return list;
    }
    case MPV_FORMAT_NODE_MAP: {
        QVariantMap map;
        for (int i = 0; i < node.u.list->num; ++i)
            map.insert(QString::fromUtf8(node.u.list->keys[i]),
                       nodeToVariant(node.u.list->values[i]));
        return map;
    }
    default:
        return QVariant();
    }
}

QVariant propertyToVariant(const mpv_event_property &prop)
{
    if (!prop.data)
        return QVariant();
    switch (prop.format) {
    case MPV_FORMAT_FLAG:
        return *static_cast<int *>(prop.data) != 0;
    case MPV_FORMAT_INT64:
        return static_cast<qlonglong>(*static_cast<int64_t *>(prop.data));
    case MPV_FORMAT_DOUBLE:
        return *static_cast<double *>(prop.data);
    case MPV_FORMAT_STRING:
        return QString::fromUtf8(*static_cast<char **>(prop.data));
    case MPV_FORMAT_NODE:
        return nodeToVariant(*static_cast<mpv_node *>(prop.data));
    default:
        return QVariant();
    }
}

} // namespace

void MpvCore::Destroyer::operator()(mpv_handle *h) const
{
    // No wakeup may reach a half-destroyed MpvCore from mpv's threads.
    mpv_set_wakeup_callback(h, nullptr, nullptr);
    mpv_terminate_destroy(h);
}

MpvCore::MpvCore(const QList<QPair<QByteArray, QByteArray>> &options, QObject *parent)
    : QObject(parent)
{
    mpv_handle *h = mpv_create();
    if (!h) {
        qWarning() << "mpv_create failed";
        return;
    }
    // mpv's built-in scripts (console, stats, profiles, on-screen controller, web streams) cost
    // start-up time and serve nothing here; the caller's options come after and may differ.
    const QList<QPair<QByteArray, QByteArray>> base{{"config", "no"},
                                                    {"load-scripts", "no"},
                                                    {"ytdl", "no"},
                                                    {"osc", "no"},
                                                    {"load-stats-overlay", "no"},
                                                    {"load-osd-console", "no"},
                                                    {"load-auto-profiles", "no"},
                                                    {"input-default-bindings", "no"},
                                                    {"input-vo-keyboard", "no"}};
    for (const auto &option : base + options) {
        if (mpv_set_option_string(h, option.first.constData(), option.second.constData()) < 0)
            qWarning() << "mpv option refused:" << option.first << option.second;
    }
    if (mpv_initialize(h) < 0) {
        qWarning() << "mpv_initialize failed";
        mpv_terminate_destroy(h);
        return;
    }
    handle_.reset(h);
    mpv_set_wakeup_callback(h, &MpvCore::onWakeup, this);
}

MpvCore::~MpvCore() = default;

void MpvCore::onWakeup(void *self)
{
    // Called on an mpv thread: only queue the drain.
    auto *core = static_cast<MpvCore *>(self);
    if (!core->drainQueued_.exchange(true))
        QMetaObject::invokeMethod(core, &MpvCore::drainEvents, Qt::QueuedConnection);
}

bool MpvCore::command(const QStringList &args)
{
    if (!handle_)
        return false;
    QList<QByteArray> utf8;
    for (const QString &arg : args)
        utf8 << arg.toUtf8();
    std::vector<const char *> argv;
    for (const QByteArray &arg : utf8)
        argv.push_back(arg.constData());
    argv.push_back(nullptr);
    const int rc = mpv_command(handle_.get(), argv.data());
    if (rc < 0) {
        qWarning() << "mpv command failed:" << args << mpv_error_string(rc);
        return false;
    }
    return true;
}

qint64 MpvCore::loadFile(const QString &fileOrEdl)
{
    if (!handle_)
        return -1;
    const QByteArray file = fileOrEdl.toUtf8();
    const char *argv[] = {"loadfile", file.constData(), "replace", nullptr};
    mpv_node result;
    const int rc = mpv_command_ret(handle_.get(), argv, &result);
    if (rc < 0) {
        qWarning() << "mpv loadfile failed:" << fileOrEdl << mpv_error_string(rc);
        return -1;
    }
    const QVariantMap map = nodeToVariant(result).toMap();
    mpv_free_node_contents(&result);
    return map.value(QStringLiteral("playlist_entry_id"), -1).toLongLong();
}

bool MpvCore::setProperty(const char *name, const QVariant &value)
{
    if (!handle_)
        return false;
    int rc = 0;
    switch (value.userType()) {
    case QMetaType::Bool: {
        int flag = value.toBool() ? 1 : 0;
        rc = mpv_set_property(handle_.get(), name, MPV_FORMAT_FLAG, &flag);
        break;
    }
    case QMetaType::Int:
    case QMetaType::LongLong: {
        int64_t number = value.toLongLong();
        rc = mpv_set_property(handle_.get(), name, MPV_FORMAT_INT64, &number);
        break;
    }
    case QMetaType::Double: {
        double number = value.toDouble();
        rc = mpv_set_property(handle_.get(), name, MPV_FORMAT_DOUBLE, &number);
        break;
    }
    default:
        rc = mpv_set_property_string(handle_.get(), name, value.toString().toUtf8().constData());
        break;
    }
    if (rc < 0) {
        qWarning() << "mpv property refused:" << name << value << mpv_error_string(rc);
        return false;
    }
    return true;
}

QVariant MpvCore::property(const char *name) const
{
    if (!handle_)
        return QVariant();
    mpv_node node;
    if (mpv_get_property(handle_.get(), name, MPV_FORMAT_NODE, &node) < 0)
        return QVariant();
    const QVariant value = nodeToVariant(node);
    mpv_free_node_contents(&node);
    return value;
}

void MpvCore::observe(const char *name, mpv_format format)
{
    if (handle_)
        mpv_observe_property(handle_.get(), 0, name, format);
}

void MpvCore::drainEvents()
{
    // A receiver may delete this core from inside one of the signals below.
    const QPointer<MpvCore> alive(this);
    drainQueued_ = false; // before reading: a wakeup from now on queues the next drain
    while (alive && handle_) {
        mpv_event *event = mpv_wait_event(handle_.get(), 0);
        switch (event->event_id) {
        case MPV_EVENT_NONE:
            return;
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto *prop = static_cast<mpv_event_property *>(event->data);
            emit propertyChanged(QByteArray(prop->name), propertyToVariant(*prop));
            break;
        }
        case MPV_EVENT_START_FILE:
            emit startFile(static_cast<mpv_event_start_file *>(event->data)->playlist_entry_id);
            break;
        case MPV_EVENT_END_FILE: {
            const auto *end = static_cast<mpv_event_end_file *>(event->data);
            emit endFile(end->playlist_entry_id, end->reason, end->error);
            break;
        }
        case MPV_EVENT_FILE_LOADED:
            emit fileLoaded();
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            emit playbackRestarted();
            break;
        case MPV_EVENT_SHUTDOWN:
            return;
        default:
            break;
        }
    }
}
