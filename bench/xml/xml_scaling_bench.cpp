// How the XML parser and the tag scanner scale with input size, on ordinary
// documents and on inputs built to defeat them (deep nesting, tags without
// end, attribute floods, repetitive names). For each shape it prints the time
// per byte at size N and 4N and their ratio: 1.0 is linear; a quadratic
// routine would show about 4.
//
// Usage: xml_scaling_bench [megabytes]   (N, default 1)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/xml_object.h"
#include "support/xml_scanner.h"

namespace {

struct Shape {
  const char* Name;
  std::function<std::string(size_t)> Make;  // an input of about that size
  std::function<void(const std::string&)> Run;
};

std::string Repeat(const std::string& piece, size_t size) {
  std::string text;
  text.reserve(size + piece.size());
  while (text.size() < size)
    text += piece;
  return text;
}

void ParseWriteDestroy(const std::string& text) {
  TXMLObject root;
  root.Parse(text);
  std::string written = root.ToText(true, true);
  if (written.size() == 1) std::puts("");  // keep the work observable
}

void ScanAll(const std::string& text, const std::string& tag) {
  TXMLType cursor;
  InitXMLText(cursor, text, tag);
  std::string result;
  size_t found = 0;
  bool more = FindElement(cursor, tag, result, 0, false);
  while (more) {
    ++found;
    more = FindNextElement(cursor, result, false, 0);
  }
  if (found == 1) std::puts("");
}

void ReadAttributes(const std::string& text) {
  TXMLAttributes attributes;
  ParseTagAttributes(text, attributes, 1);
  if (attributes.size() == 1) std::puts("");
}

// The best of three runs, so that first-touch page faults of a fresh heap
// do not count as parser time.
double SecondsFor(const Shape& shape, const std::string& input) {
  double best = 0;
  for (int run = 0; run < 3; ++run) {
    auto start = std::chrono::steady_clock::now();
    shape.Run(input);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (run == 0 || seconds < best) best = seconds;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  size_t base = (argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1) << 20;
  if (base == 0) base = 1 << 20;
  auto parse = [](const std::string& text) { ParseWriteDestroy(text); };
  std::vector<Shape> shapes = {
      {"flat document",
       [](size_t n) { return Repeat("<item id=\"1\" name='a b'>t &amp; u</item>\r\n", n); }, parse},
      {"deep nesting", [](size_t n) { return Repeat("<a>", n); }, parse},
      {"'<' without '>'", [](size_t n) { return Repeat("<", n); }, parse},
      {"'<' runs, one '>'", [](size_t n) { return Repeat("<", n) + ">"; }, parse},
      {"one tag, many attributes", [](size_t n) { return "<a" + Repeat(" x=1", n) + ">"; }, parse},
      {"one tag, '=' flood", [](size_t n) { return "<a x" + Repeat("=", n) + ">"; }, parse},
      {"first token re-searched", [](size_t n) { return "<a=" + Repeat(" a", n) + ">"; }, parse},
      {"open quotes", [](size_t n) { return "<a " + Repeat("\"x=", n) + ">"; }, parse},
      {"long name", [](size_t n) { return "<" + Repeat("a", n) + ">"; }, parse},
      {"entities", [](size_t n) { return "<a>" + Repeat("&&#&#x&amp;&#12345678;", n) + "</a>"; },
       [](const std::string& text) {
         TXMLObject root;
         root.Parse(text);
         std::string value = TXMLObject::GetChildText(&root, "a", 0);
         if (value.size() == 1) std::puts("");
       }},
      {"scanner, elements", [](size_t n) { return Repeat("<e a=\"1\">x</e><e/>", n); },
       [](const std::string& text) { ScanAll(text, "e"); }},
      {"scanner, near-miss tags", [](size_t n) { return Repeat("<aaaa", n); },
       [](const std::string& text) { ScanAll(text, "aaaaaaaa"); }},
      {"scanner, repetitive tag", [](size_t n) { return Repeat("<a<a<a<a<a<a<a<a", n); },
       [](const std::string& text) { ScanAll(text, "a<a<a<a<a<a<a<a<a<a<a<a<a<a"); }},
      {"tag attributes, flood", [](size_t n) { return "<a" + Repeat(" b=\"c\" d=e", n) + ">"; },
       ReadAttributes},
  };

  std::printf("%-28s %12s %12s %8s\n", "shape", "ns/byte N", "ns/byte 4N", "ratio");
  for (const Shape& shape : shapes) {
    std::string small = shape.Make(base);
    std::string large = shape.Make(4 * base);
    double a = SecondsFor(shape, small) * 1e9 / static_cast<double>(small.size());
    double b = SecondsFor(shape, large) * 1e9 / static_cast<double>(large.size());
    std::printf("%-28s %12.2f %12.2f %8.2f\n", shape.Name, a, b, b / a);
  }
  return 0;
}
