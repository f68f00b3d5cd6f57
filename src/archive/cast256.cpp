#include "archive/cast256.h"

#include <algorithm>
#include <cstring>

#include "archive/cast256_sboxes.h"

namespace {

uint32_t RotateLeft(uint32_t value, unsigned count) {
  count &= 31;
  return count == 0 ? value : (value << count) | (value >> (32 - count));
}

uint32_t LoadBigEndian(const uint8_t* bytes) {
  return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
         (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

void StoreBigEndian(uint32_t value, uint8_t* bytes) {
  bytes[0] = static_cast<uint8_t>(value >> 24);
  bytes[1] = static_cast<uint8_t>(value >> 16);
  bytes[2] = static_cast<uint8_t>(value >> 8);
  bytes[3] = static_cast<uint8_t>(value);
}

// The three round function types; Ia is the most significant byte of I.
uint32_t F1(uint32_t data, uint32_t masking, uint8_t rotation) {
  uint32_t i = RotateLeft(masking + data, rotation);
  return ((kCast256S1[i >> 24] ^ kCast256S2[(i >> 16) & 0xff]) - kCast256S3[(i >> 8) & 0xff]) +
         kCast256S4[i & 0xff];
}

uint32_t F2(uint32_t data, uint32_t masking, uint8_t rotation) {
  uint32_t i = RotateLeft(masking ^ data, rotation);
  return ((kCast256S1[i >> 24] - kCast256S2[(i >> 16) & 0xff]) + kCast256S3[(i >> 8) & 0xff]) ^
         kCast256S4[i & 0xff];
}

uint32_t F3(uint32_t data, uint32_t masking, uint8_t rotation) {
  uint32_t i = RotateLeft(masking - data, rotation);
  return ((kCast256S1[i >> 24] + kCast256S2[(i >> 16) & 0xff]) ^ kCast256S3[(i >> 8) & 0xff]) -
         kCast256S4[i & 0xff];
}

struct Block {
  uint32_t A, B, C, D;
};

// Forward quad-round Q and reverse quad-round QBAR of round i.
void Quad(Block& b, const uint32_t* km, const uint8_t* kr) {
  b.C ^= F1(b.D, km[0], kr[0]);
  b.B ^= F2(b.C, km[1], kr[1]);
  b.A ^= F3(b.B, km[2], kr[2]);
  b.D ^= F1(b.A, km[3], kr[3]);
}

void QuadReverse(Block& b, const uint32_t* km, const uint8_t* kr) {
  b.D ^= F1(b.A, km[3], kr[3]);
  b.A ^= F3(b.B, km[2], kr[2]);
  b.B ^= F2(b.C, km[1], kr[1]);
  b.C ^= F1(b.D, km[0], kr[0]);
}

Block Load(const uint8_t* in) {
  return Block{LoadBigEndian(in), LoadBigEndian(in + 4), LoadBigEndian(in + 8),
               LoadBigEndian(in + 12)};
}

void Store(const Block& b, uint8_t* out) {
  StoreBigEndian(b.A, out);
  StoreBigEndian(b.B, out + 4);
  StoreBigEndian(b.C, out + 8);
  StoreBigEndian(b.D, out + 12);
}

}  // namespace

TCast256::TCast256(const uint8_t* key, size_t keySize) {
  uint8_t padded[kMaxKeySize] = {};
  std::memcpy(padded, key, std::min(keySize, kMaxKeySize));
  uint32_t k[8];  // the key words A..H
  for (int j = 0; j < 8; ++j)
    k[j] = LoadBigEndian(padded + 4 * j);

  // The constants of the key schedule: masking words from 2^30 * sqrt(2)
  // stepped by 2^30 * sqrt(3), rotations from 19 stepped by 17, modulo 32.
  uint32_t tm[24][8];
  uint8_t tr[24][8];
  uint32_t cm = 0x5A827999;
  const uint32_t mm = 0x6ED9EBA1;
  unsigned cr = 19;
  const unsigned mr = 17;
  for (int i = 0; i < 24; ++i) {
    for (int j = 0; j < 8; ++j) {
      tm[i][j] = cm;
      cm += mm;
      tr[i][j] = static_cast<uint8_t>(cr);
      cr = (cr + mr) % 32;
    }
  }

  enum { A, B, C, D, E, F, G, H };
  auto octave = [&](int i) {
    k[G] ^= F1(k[H], tm[i][0], tr[i][0]);
    k[F] ^= F2(k[G], tm[i][1], tr[i][1]);
    k[E] ^= F3(k[F], tm[i][2], tr[i][2]);
    k[D] ^= F1(k[E], tm[i][3], tr[i][3]);
    k[C] ^= F2(k[D], tm[i][4], tr[i][4]);
    k[B] ^= F3(k[C], tm[i][5], tr[i][5]);
    k[A] ^= F1(k[B], tm[i][6], tr[i][6]);
    k[H] ^= F2(k[A], tm[i][7], tr[i][7]);
  };
  for (int i = 0; i < 12; ++i) {
    octave(2 * i);
    octave(2 * i + 1);
    rotation_[i][0] = static_cast<uint8_t>(k[A] & 31);
    rotation_[i][1] = static_cast<uint8_t>(k[C] & 31);
    rotation_[i][2] = static_cast<uint8_t>(k[E] & 31);
    rotation_[i][3] = static_cast<uint8_t>(k[G] & 31);
    masking_[i][0] = k[H];
    masking_[i][1] = k[F];
    masking_[i][2] = k[D];
    masking_[i][3] = k[B];
  }
}

void TCast256::EncryptBlock(const uint8_t* in, uint8_t* out) const {
  Block b = Load(in);
  for (int i = 0; i < 6; ++i)
    Quad(b, masking_[i], rotation_[i]);
  for (int i = 6; i < 12; ++i)
    QuadReverse(b, masking_[i], rotation_[i]);
  Store(b, out);
}

void TCast256::DecryptBlock(const uint8_t* in, uint8_t* out) const {
  Block b = Load(in);
  for (int i = 11; i >= 6; --i)
    Quad(b, masking_[i], rotation_[i]);
  for (int i = 5; i >= 0; --i)
    QuadReverse(b, masking_[i], rotation_[i]);
  Store(b, out);
}
