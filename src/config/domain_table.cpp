#include "config/domain_table.h"

#include <algorithm>

#include "support/text.h"

std::string DomainRecord::Name() const {
  size_t length = std::min<size_t>(Bytes[0], kDomainNameLength);
  return std::string(reinterpret_cast<const char*>(Bytes.data() + 1), length);
}

void DomainRecord::SetName(std::string_view name) {
  size_t length = std::min(name.size(), kDomainNameLength);
  std::fill_n(Bytes.begin(), 1 + kDomainNameLength, 0);
  Bytes[0] = static_cast<uint8_t>(length);
  std::copy_n(name.data(), length, Bytes.begin() + 1);
}

void DomainTable::Clear() {
  Records.clear();
  index_.clear();
}

void DomainTable::Reindex() {
  index_.clear();
  for (size_t i = 0; i < Records.size(); ++i) {
    DomainRecord& record = Records[i];
    std::string name = LowerCase(record.Name());
    record.Bytes[0] = static_cast<uint8_t>(name.size());  // a length beyond the field is cut
    std::copy(name.begin(), name.end(), record.Bytes.begin() + 1);
    // The first record of a name wins, as a lookup from the front would find.
    index_.emplace(name, static_cast<int>(i) + 1);
  }
}

int DomainTable::Find(std::string_view name) const {
  auto found = index_.find(LowerCase(name));
  return found == index_.end() ? 0 : found->second;
}

int DomainTable::Add(std::string_view name) {
  DomainRecord record;
  record.SetName(LowerCase(name));
  Records.push_back(record);
  int number = static_cast<int>(Records.size());
  index_.emplace(record.Name(), number);
  return number;
}

DomainTable& Domains() {
  static DomainTable table;
  return table;
}

std::string PrimaryDomainName() {
  const DomainTable& table = Domains();
  return table.Records.empty() ? std::string() : table.Records[0].Name();
}

std::vector<DomainRecord> DecodeDomainRecords(const uint8_t* bytes, size_t size,
                                              size_t recordSize) {
  std::vector<DomainRecord> records;
  if (recordSize != kDomainRecordSize && recordSize != kNarrowDomainRecordSize) return records;
  records.reserve((size + recordSize - 1) / recordSize);
  for (size_t start = 0; start < size; start += recordSize) {
    DomainRecord record;
    size_t take = std::min(recordSize, size - start);
    std::copy_n(bytes + start, take, record.Bytes.begin());
    if (recordSize == kNarrowDomainRecordSize) {
      // Widened: the name keeps its place, the switch byte starts at 0.
      record.Bytes[0] = std::min<uint8_t>(record.Bytes[0], kNarrowDomainRecordSize - 1);
    }
    records.push_back(record);
  }
  return records;
}
