// The window-class table and message queue the Linux backends keep in place of the system's.
#include "platform/window_classes.h"

#include <map>
#include <string>

namespace {
struct ClassEntry {
    SysWindowProc Proc = nullptr;
    int LiveWindows = 0;
};
std::map<std::string, ClassEntry> Classes;
std::map<SysWindow, std::string> WindowClasses;
std::uint16_t NextAtom = 0xC000;
}  // namespace

std::uint16_t ClassTableRegister(const SysWindowClass& windowClass)
{
    if (windowClass.ClassName == nullptr || windowClass.WndProc == nullptr)
        return 0;
    auto [entry, inserted] = Classes.try_emplace(windowClass.ClassName);
    if (!inserted)
        return 0;
    entry->second.Proc = windowClass.WndProc;
    return NextAtom++;
}

bool ClassTableUnregister(const char* className)
{
    const auto entry = Classes.find(className != nullptr ? className : "");
    if (entry == Classes.end() || entry->second.LiveWindows > 0)
        return false;
    Classes.erase(entry);
    return true;
}

SysWindowProc ClassTableProc(const char* className)
{
    const auto entry = Classes.find(className != nullptr ? className : "");
    return entry == Classes.end() ? nullptr : entry->second.Proc;
}

void WindowTableAdd(SysWindow window, const char* className)
{
    WindowClasses[window] = className;
    const auto entry = Classes.find(className);
    if (entry != Classes.end())
        ++entry->second.LiveWindows;
}

void WindowTableRemove(SysWindow window)
{
    const auto found = WindowClasses.find(window);
    if (found == WindowClasses.end())
        return;
    const auto entry = Classes.find(found->second);
    if (entry != Classes.end() && entry->second.LiveWindows > 0)
        --entry->second.LiveWindows;
    WindowClasses.erase(found);
}

std::intptr_t SendToWindow(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const auto found = WindowClasses.find(window);
    const SysWindowProc proc = found != WindowClasses.end() ? ClassTableProc(found->second.c_str()) : nullptr;
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

void ClassTableClear()
{
    Classes.clear();
    WindowClasses.clear();
    MessageQueue().clear();
}

std::deque<SysMessage>& MessageQueue()
{
    static std::deque<SysMessage> queue;
    return queue;
}

bool TakeQueuedMessage(SysMessage& message)
{
    if (MessageQueue().empty())
        return false;
    message = MessageQueue().front();
    MessageQueue().pop_front();
    return true;
}

void QueueQuit(int exitCode)
{
    SysMessage quit;
    quit.Message = WmQuit;
    quit.WParam = static_cast<std::uintptr_t>(exitCode);
    MessageQueue().push_back(quit);
}
