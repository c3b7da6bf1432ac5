// Position and play state of the ride playback: one ride point per 5 seconds, one tick per
// second while playing. The page owns the timer and does what each call returns.
#pragma once

class RidePlayback
{
public:
    enum PlayState
    {
        Cleared = 0,
        Playing = 1,
        Paused = 2,
        SteppedForward = 3,
        SteppedBack = 4
    };

    enum class Timer
    {
        Keep,        // leave the timer as it runs
        Stop,        // no points to show: stop it
        Restart1000, // playing: one point per second
        Restart50    // slider in use: follow it 20 times a second
    };

    enum class PlayAction
    {
        Ignored, // no file, or pressed again within the tick after a pause
        Paused,
        Started
    };

    struct Tick
    {
        bool hasPoint = false;
        int point = 0;        // index of the point for the map
        int position = 0;     // seconds after the step, for labels and slider
        float percent = 0.0f; // position in percent of the ride, for the chart markers
        Timer timer = Timer::Keep;
    };

    static constexpr int secondsPerPoint = 5;
    static constexpr int playIntervalMs = 1000;
    static constexpr int sliderIntervalMs = 50;

    // A ride was read: paused at position 0.
    void load(int pointCount, int totalSeconds);
    // Points released (stop); the next tick stops the timer.
    void clearPoints() { pointCount_ = 0; }
    // Forgets the ride entirely.
    void unload();
    // A selected file could not be read: no ride to tick through, the file stays current.
    void markNotLoaded() { rideLoaded_ = false; }

    Tick tick();
    PlayAction play();
    // Steps are ignored without a file; each shows the point at the new position.
    bool stepForward();
    bool stepBack();
    // The slider's value as a position: the next multiple of 5 at or above it.
    void setSliderValue(int value);
    // The slider was moved or released: paused, the timer follows it quickly.
    Timer sliderMoved();
    // Slider value of a chart click at percent of the ride.
    int sliderValueForPercent(float percent) const;
    // Stop: position 0, the file forgotten. False when no file was loaded.
    bool stop();
    // The panel was cleared: paused.
    void pause() { state_ = Paused; }

    bool hasFile() const { return hasFile_; }
    bool rideLoaded() const { return rideLoaded_; }
    bool hasPoints() const { return rideLoaded_ && pointCount_ > 0; }
    int position() const { return position_; }
    int state() const { return state_; }
    bool armed() const { return armed_; }
    int totalSeconds() const { return totalSeconds_; }

private:
    bool rideLoaded_ = false;
    bool hasFile_ = false;
    int pointCount_ = 0;
    int totalSeconds_ = 0;
    int position_ = 0;
    int state_ = Paused;
    bool armed_ = false;
};
