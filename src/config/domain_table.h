// The suite's list of mail domains, stored as "domains.cfg": 96-byte records
// without a header, their number kept in the settings record. Record 0 is the
// primary domain. The program holds one process-wide table.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t kDomainRecordSize = 96;
inline constexpr size_t kDomainNameLength = 94;
// The older form: 32-byte records, a length byte and at most 31 characters.
inline constexpr size_t kNarrowDomainRecordSize = 32;

struct DomainRecord {
  std::array<uint8_t, kDomainRecordSize> Bytes{};

  // A length byte beyond the name field counts as the field's length.
  std::string Name() const;
  // Cut to 94 characters; the rest of the name field is cleared.
  void SetName(std::string_view name);
  uint8_t Switch() const { return Bytes[95]; }  // the suite's, carried through

  bool operator==(const DomainRecord&) const = default;
};

class DomainTable {
 public:
  std::vector<DomainRecord> Records;
  // Whether the table reflects what is stored: only then does a save write
  // "domains.cfg", so that a table that could not be read is not replaced.
  bool Loaded = false;

  void Clear();
  // Lower-cases every name and rebuilds the name index.
  void Reindex();
  // Record number (from 1) of a domain, 0 when there is none; any letter case.
  int Find(std::string_view name) const;
  // Appends a record for the (lower-cased) name; returns its record number.
  int Add(std::string_view name);

 private:
  std::map<std::string, int, std::less<>> index_;
};

DomainTable& Domains();

// Name of record 0, or empty text when the table is empty.
std::string PrimaryDomainName();

// Records decoded from stored bytes, `recordSize` (96 or 32) bytes each; a
// last record cut short counts, with zeros for its missing bytes.
std::vector<DomainRecord> DecodeDomainRecords(const uint8_t* bytes, size_t size, size_t recordSize);
