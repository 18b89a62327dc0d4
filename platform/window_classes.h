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
// Counts live windows per class so a class in use cannot be unregistered.
void ClassTableWindowCreated(const char* className);
void ClassTableWindowDestroyed(const char* className);
void ClassTableClear();

// The thread's message queue: posted messages, oldest first.
std::deque<SysMessage>& MessageQueue();
// Posts a WM_QUIT after the other messages, as PostQuitMessage does.
void QueueQuit(int exitCode);
