// What the player adds around the production's frame loop: looping, and pausing with Space. The
// scenes know nothing of either; both act on the demo clock and the music only.
#pragma once

// Space: the virtual-key code that pauses and resumes.
constexpr unsigned VkSpace = 0x20;
// How long the loop waits between looks at the messages while paused, instead of drawing.
constexpr unsigned PausedWaitMs = 10;

void SetLooping(bool loop);
bool Looping();

// Pauses the running demo (the clock stops, the music holds) or resumes it where it stopped.
// Nothing happens before the demo runs (while loading).
void TogglePause();
bool Paused();

// After the end picture, with looping on: the scenes' state back to its start, and the next frame
// starts the clock and the music from the beginning, as the first run did.
void RestartRun();

// Back to no looping and not paused (tests run the demo more than once).
void ResetPlayerState();
