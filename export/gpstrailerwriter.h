// Chooses and writes the GPS trailer of a finished export run: cut trailers from the run's
// source, join trailers from the group's member files. Plain class; file access only.
#pragma once

#include "gpstrailer.h"

#include <QFileDevice>
#include <functional>

// Loads a file's metadata; detectOnly gives the folded code (0, 1 or 24) instead of the full one.
using TrailerSourceLoader = std::function<TrailerSource(const QString &path, bool detectOnly)>;

// Everything a finished run tells the writer.
struct TrailerJob
{
    QString args;                  // the run's argument text (-ss/-t of a cut)
    int mode = 0;                  // runner mode of the run
    bool keepGps = true;           // the export keeps GPS records
    TrailerSource input;           // the run's input, loaded in folded mode
    GroupOutputSetting_t group;    // the group export's lists and clip positions (joins only)
    bool mixOfBothCameras = false; // mode 7 mixing two cameras with the main one big
};

class GpsTrailerWriter
{
public:
    explicit GpsTrailerWriter(TrailerSourceLoader loader);

    // True when the run's mode and options call for the group record (modes 3 and 7).
    static bool needsGroup(int mode, bool keepGps);

    // Appends the trailer the job calls for to the end of output, the run's output file open for
    // writing. False, with error set to the system's reason, when it cannot be written; a job
    // that calls for no trailer leaves the file untouched.
    bool append(const TrailerJob &job, QFileDevice &output, QString *error) const;

    // The trailer of a cut (modes 0, 1, 2, 4, 5) of a source of folded code 0, 1 or 24.
    static QByteArray cutTrailer(const TrailerSource &input, const QString &args);

    // Writes the join trailer of a group to out, one write per member.
    bool writeJoinTrailer(QIODevice *out, const GroupOutputSetting_t &group,
                          bool mixOfBothCameras) const;

private:
    QByteArray signatureOf(const QString &path, DashcamType fullType) const;

    TrailerSourceLoader loader;
};
