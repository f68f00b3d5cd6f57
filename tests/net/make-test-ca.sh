#!/bin/sh
# Makes the test certificates in DIR: a trusted test CA, a rogue CA, and
# server certificates for "localhost" and "other.test" from the test CA and
# for "localhost" from the rogue CA.
set -e
dir=$1
mkdir -p "$dir"
cd "$dir"
ca() {
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=$2" -keyout "$1.key" -out "$1.pem" \
    -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign \
    2>/dev/null
}
server() {
  openssl req -newkey rsa:2048 -nodes -subj "/CN=$2" -keyout "$1.key" -out "$1.csr" 2>/dev/null
  printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n' "$2" \
    >"$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$3.pem" -CAkey "$3.key" -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.pem" 2>/dev/null
}
ca test-ca "Setup Test CA"
ca rogue-ca "Rogue CA"
server localhost localhost test-ca
server other other.test test-ca
server rogue localhost rogue-ca
