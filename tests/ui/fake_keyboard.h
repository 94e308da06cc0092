#pragma once
// A scripted keyboard behind the platform's key source, always focused. Keys can be held, held
// for a number of their own queries, or held during a window of the keyboard's total query count.
// A test whose wait loop would never end aborts after a large budget of queries instead of hanging.

namespace fake_keyboard {

void install();
void uninstall();
// Releases every key and sets the query count to 0.
void reset();

void hold(int vk);
void release(int vk);
// Down for the next n queries of this key.
void holdForQueries(int vk, long n);
// Down while the total query count lies in [from, until).
void holdBetween(int vk, long from, long until);
long queries();
// How often one code was asked for since the last reset.
long queriesOf(int vk);
void setFocused(bool focused);

}  // namespace fake_keyboard
