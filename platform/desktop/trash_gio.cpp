// SPDX-License-Identifier: MIT
#include <gio/gio.h>

#include "platform/desktop/file_actions.h"

namespace platform {

bool MoveToTrash(const std::string& path, std::string& error) {
  // GIO writes the freedesktop trash the desktop's file managers show,
  // including the per-volume trash folders of other mounts.
  GFile* file = g_file_new_for_path(path.c_str());
  GError* failure = nullptr;
  const bool moved = g_file_trash(file, nullptr, &failure);
  if (!moved) {
    error = failure ? failure->message : "the trash refused the file";
    if (failure) g_error_free(failure);
  }
  g_object_unref(file);
  return moved;
}

}  // namespace platform
