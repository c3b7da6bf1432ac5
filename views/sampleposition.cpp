#include "sampleposition.h"

namespace {

// Within a second of arc of 0 degrees: the mark right after the hemisphere letter, the
// longitude's third degree digit allowed ("E100°00' 0" is no such text).
bool isZeroText(const QString &text)
{
    const QStringRef degrees = text.midRef(1);
    return degrees.startsWith(SamplePosition::zeroFixMark) ||
           (degrees.startsWith(QLatin1Char('0')) &&
            degrees.mid(1).startsWith(SamplePosition::zeroFixMark));
}

} // namespace

namespace SamplePosition {

bool hasPosition(const VideoInfo_t &vi)
{
    if (vi.latText.isEmpty() || vi.lonText.isEmpty())
        return false;
    return !(isZeroText(vi.latText) && isZeroText(vi.lonText));
}

} // namespace SamplePosition
