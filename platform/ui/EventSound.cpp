#include "platform/ui/EventSound.h"

#include <dlfcn.h>

#include <cstdint>
#include <mutex>

namespace {

// The library's own interface, looked up at run time so the program neither needs it to build
// nor to start.
struct ca_context;
using CreateFn = int (*)(ca_context**);
using PlayFn = int (*)(ca_context*, uint32_t, ...);
using CancelFn = int (*)(ca_context*, uint32_t);

struct Library {
  ca_context* ctx = nullptr;
  PlayFn play = nullptr;
  CancelFn cancel = nullptr;
};

std::mutex g_mutex;
Library* g_lib = nullptr;
bool g_tried = false;

Library* library() {
  if (g_tried) return g_lib;
  g_tried = true;
  void* h = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!h) return nullptr;
  auto create = reinterpret_cast<CreateFn>(dlsym(h, "ca_context_create"));
  auto play = reinterpret_cast<PlayFn>(dlsym(h, "ca_context_play"));
  auto cancel = reinterpret_cast<CancelFn>(dlsym(h, "ca_context_cancel"));
  ca_context* ctx = nullptr;
  if (!create || !play || !cancel || create(&ctx) != 0 || !ctx) {
    dlclose(h);
    return nullptr;
  }
  g_lib = new Library{ctx, play, cancel};  // kept for the process's life, as the library is
  return g_lib;
}

}  // namespace

BOOL AfxPlayEventSound(LPCTSTR lpszEventId) {
  if (!lpszEventId || !*lpszEventId) return FALSE;
  std::lock_guard<std::mutex> lock(g_mutex);
  Library* lib = library();
  if (!lib) return FALSE;
  return lib->play(lib->ctx, 1, "event.id", lpszEventId, static_cast<const char*>(nullptr)) == 0;
}

void AfxCancelEventSounds() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_lib) g_lib->cancel(g_lib->ctx, 1);
}
