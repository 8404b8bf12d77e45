// Host memory handles: a handle points at the block's pointer, as the host's handles do.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "hostapi/HostApi.h"

namespace kelvrix::host {

class HandleStore {
 public:
  ~HandleStore();

  PF_Handle New(A_HandleSize size);
  void* Lock(PF_Handle handle);  // null for a handle this store does not know
  void Unlock(PF_Handle handle);
  void Dispose(PF_Handle handle);
  A_HandleSize Size(PF_Handle handle) const;
  PF_Err Resize(A_HandleSize size, PF_Handle* handle);

  bool Knows(PF_Handle handle) const;
  int Locks(PF_Handle handle) const;
  size_t Live() const;

 private:
  struct Block {
    void* pointer = nullptr;  // the handle is the address of this field
    A_HandleSize size = 0;
    int locks = 0;
  };
  Block* Find(PF_Handle handle) const;

  mutable std::mutex mutex_;
  std::map<PF_Handle, std::unique_ptr<Block>> blocks_;
};

}  // namespace kelvrix::host
