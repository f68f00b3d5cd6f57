// Adds a PEM certificate to the machine's trusted roots, so that TLS tests
// under Wine can trust their own test CA.
// Usage: add_root_cert.exe CA.pem
#include <windows.h>
// wincrypt.h needs windows.h first
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: add_root_cert CA.pem\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string pem = text.str();
  DWORD size = 0;
  if (pem.empty() || !CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, nullptr,
                                           &size, nullptr, nullptr)) {
    std::fprintf(stderr, "add_root_cert: %s is not a PEM certificate\n", argv[1]);
    return 1;
  }
  std::vector<BYTE> der(size);
  CryptStringToBinaryA(pem.c_str(), 0, CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                       nullptr);
  HCERTSTORE store =
      CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
  if (!store) {
    std::fprintf(stderr, "add_root_cert: cannot open the root store (%lu)\n", GetLastError());
    return 1;
  }
  BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  DWORD error = GetLastError();
  CertCloseStore(store, 0);
  if (!added) {
    std::fprintf(stderr, "add_root_cert: cannot add the certificate (%lu)\n", error);
    return 1;
  }
  return 0;
}
