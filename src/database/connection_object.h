// What the connection string drives in each database client: open and close
// one connection.
#pragma once

class TConnectionObject {
 public:
  virtual ~TConnectionObject() = default;
  // Raises the client's exception when the connection cannot be opened.
  virtual void Open() = 0;
  // Nothing when the connection is not open.
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
};
