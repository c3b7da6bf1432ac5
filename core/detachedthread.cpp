#include "detachedthread.h"

#include <system_error>
#include <thread>

bool startDetachedThread(std::function<void()> work)
{
    try {
        std::thread(std::move(work)).detach();
        return true;
    } catch (const std::system_error &) {
        return false; // EAGAIN: no thread to give
    }
}
