#include "gpstrailerwriter.h"

#include "exportlog.h"

namespace {

enum GroupClip
{
    firstMainClip = 0,
    lastMainClip = 1,
    startOffset = 4,
    endOffset = 7
};

bool isJoin(int mode)
{
    return mode == 3 || mode == 7;
}

// The second camera's join is mixed later and keeps no trailer of its own.
constexpr int secondCameraJoinMode = 6;

} // namespace

GpsTrailerWriter::GpsTrailerWriter(TrailerSourceLoader loader) : loader(std::move(loader)) {}

bool GpsTrailerWriter::needsGroup(int mode, bool keepGps)
{
    return keepGps && isJoin(mode);
}

QByteArray GpsTrailerWriter::cutTrailer(const TrailerSource &input, const QString &args)
{
    qCDebug(lcExport) << "currentTypeAA -> " << input.type;
    const CutSpan span = GpsTrailer::cutSpan(args);
    if (input.type == GpsTrailer::foldedNovatek)
        return GpsTrailer::cutTrailer(input.samples, span);
    if (input.type == GpsTrailer::foldedICatch)
        return GpsTrailer::sourceLayoutTrailer(input, span);
    return QByteArray();
}

bool GpsTrailerWriter::append(const TrailerJob &job, QFileDevice &output, QString *error) const
{
    if (!job.keepGps && job.input.type != GpsTrailer::foldedNovatek)
        return true;
    // another program wrote the file through a descriptor of its own
    if (!output.isSequential() && !output.seek(output.size())) {
        *error = output.errorString();
        return false;
    }
    bool written = true;
    if (!job.keepGps) {
        written = output.write(GpsTrailer::bareTrailer()) >= 0;
    } else if (isJoin(job.mode)) {
        written = writeJoinTrailer(&output, job.group, job.mixOfBothCameras);
    } else if (job.mode != secondCameraJoinMode) {
        const QByteArray bytes = cutTrailer(job.input, job.args);
        written = bytes.isEmpty() || output.write(bytes) == bytes.size();
    }
    if (!written || !output.flush() || output.error() != QFileDevice::NoError) {
        *error = output.errorString();
        return false;
    }
    return true;
}

QByteArray GpsTrailerWriter::signatureOf(const QString &path, DashcamType fullType) const
{
    const QByteArray own = GpsTrailer::joinSignature(fullType);
    if (!own.isNull())
        return own;
    return GpsTrailer::seriesSignature(loader(path, true).type);
}

bool GpsTrailerWriter::writeJoinTrailer(QIODevice *out, const GroupOutputSetting_t &group,
                                        bool mixOfBothCameras) const
{
    const auto put = [out](const QByteArray &bytes) { return out->write(bytes) == bytes.size(); };
    if (mixOfBothCameras) {
        const QString path = group.workFolder + QStringLiteral("temp2_main.mov");
        const TrailerSource joined = loader(path, false);
        return put(GpsTrailer::marker() +
                   GpsTrailer::records(joined.samples, 0, joined.samples.size()) +
                   signatureOf(path, joined.type));
    }

    const int first = group.clip[firstMainClip];
    const int last = group.clip[lastMainClip];
    QByteArray buffer = GpsTrailer::marker();
    for (int i = first; i <= last; ++i) {
        if (i < 0 || i >= group.mainFiles.size())
            continue;
        const QString &path = group.mainFiles.at(i);
        const TrailerSource member = loader(path, false);
        qCDebug(lcExport) << "currentTypeAS2: " << member.type;
        const int from = i == first ? group.clip[startOffset] : 0;
        const int to = i == last ? group.clip[endOffset] : member.samples.size();
        buffer += GpsTrailer::records(member.samples, from, to - from);
        if (i == last)
            buffer += signatureOf(path, member.type);
        if (!put(buffer))
            return false;
        buffer.clear();
    }
    return true;
}
