// The window-class table and message queue the Linux backends keep in place of the system's.
#pragma once

#include <cstdint>
#include <deque>

#include "platform/platform.h"

// Registers a class by name; 0 when the name is taken or missing.
std::uint16_t ClassTableRegister(const SysWindowClass& windowClass);
// Removes a class; false when it is not registered or a window of it still exists.
bool ClassTableUnregister(const char* className);
// The window procedure of a registered class, or null.
SysWindowProc ClassTableProc(const char* className);
// Live windows and their classes: a class in use cannot be unregistered, and a message finds
// its window's procedure.
void WindowTableAdd(SysWindow window, const char* className);
void WindowTableRemove(SysWindow window);
// Calls the procedure of the window's class at once, as the system does for sent messages.
std::intptr_t SendToWindow(SysWindow window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
void ClassTableClear();

// The thread's message queue: posted messages, oldest first.
std::deque<SysMessage>& MessageQueue();
// Posts a WM_QUIT after the other messages, as PostQuitMessage does.
void QueueQuit(int exitCode);
// Takes the oldest queued message; false when the queue is empty.
bool TakeQueuedMessage(SysMessage& message);
