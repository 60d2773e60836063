#include "tests/fakes/fake_log.h"

static std::vector<std::string> calls;
static std::function<void(const std::string &)> observer;

std::vector<std::string> &FakeCalls(void)
{
    return calls;
}

void ClearFakeCalls(void)
{
    calls.clear();
}

void SetFakeCallObserver(std::function<void(const std::string &)> callback)
{
    observer = callback;
}

void LogFakeCall(const std::string &call)
{
    calls.push_back(call);
    if (observer)
        observer(call);
}
