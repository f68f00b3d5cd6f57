#include "support/xml_object.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"
#include "platform/files.h"

namespace {

// The element names of a node's children, in order.
std::vector<std::string> Names(const TXMLObject& node) {
  std::vector<std::string> names;
  for (const auto& child : node.Children)
    names.push_back(child->Name);
  return names;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(XMLSerialization, ExampleDocumentByteForByte) {
  TXMLObject root;
  TXMLObject* a = root.AddChild("A", "", 3);
  a->SetAttribute("x", "1", false, 3);
  a->AddChild("B", "", 3);
  EXPECT_EQ(root.ToText(true, false), "<A x=\"1\"><B/>\r\n</A>\r\n");
  EXPECT_EQ(root.ToText(false, false), "<A x=\"1\"><B/></A>");
  EXPECT_EQ(root.ToText(true, true),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<A x=\"1\"><B/>\r\n</A>\r\n");
  // An element serializes itself alone.
  EXPECT_EQ(a->ToText(false, false), "<A x=\"1\"><B/></A>");

  // Text comes before the children; stored values are written unescaped;
  // the root writes its text and children but no attributes.
  root.Text = "lead";
  root.SetAttribute("ignored", "1", false, 3);
  TXMLObject* c = root.AddChild("C", "a<b", 1);
  c->SetAttribute("q", "\"'&", false, 1);
  c->AddChild("D", "d", 3);
  c->AddChild("E", "", 3)->Attributes.push_back({"raw", "<\">"});
  EXPECT_EQ(root.ToText(true, false),
            "lead<A x=\"1\"><B/>\r\n</A>\r\n"
            "<C q=\"&quot;&apos;&amp;\">a&lt;b<D>d</D>\r\n<E raw=\"<\">\"/>\r\n</C>\r\n");

  // An unnamed child stands for its content alone.
  TXMLObject other;
  TXMLObject* unnamed = other.AddChild("", "t", 3);
  unnamed->AddChild("F", "", 3);
  EXPECT_EQ(other.ToText(true, false), "t<F/>\r\n");

  TXMLObject empty;
  EXPECT_EQ(empty.ToText(true, false), "");
  EXPECT_EQ(empty.ToText(false, true), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
}

TEST(XMLParse, TextChildrenAndTheEndTagRule) {
  TXMLObject a;
  a.Parse("<A>text</A>");
  ASSERT_EQ(Names(a), Strings{"A"});
  EXPECT_EQ(a.Children[0]->Text, "text");
  EXPECT_TRUE(a.Children[0]->Children.empty());

  TXMLObject b;
  b.Parse("<A> <B/> </A>");
  ASSERT_EQ(Names(b), Strings{"A"});
  EXPECT_EQ(Names(*b.Children[0]), Strings{"B"});
  EXPECT_EQ(b.Children[0]->Text, "");

  // The end tag's name is not compared: </C> closes B, and the x collected
  // for A is dropped because A has a child.
  TXMLObject c;
  c.Parse("<A><B></C>x</A>");
  ASSERT_EQ(Names(c), Strings{"A"});
  const TXMLObject& ca = *c.Children[0];
  EXPECT_EQ(ca.Text, "");
  ASSERT_EQ(Names(ca), Strings{"B"});
  EXPECT_TRUE(ca.Children[0]->Children.empty());
  EXPECT_EQ(ca.Children[0]->Text, "");

  // Declarations and comments are skipped; text around them is kept.
  TXMLObject d;
  d.Parse("<?xml version=\"1.0\"?><R/>");
  ASSERT_EQ(Names(d), Strings{"R"});
  EXPECT_EQ(d.Text, "");
  TXMLObject e;
  e.Parse("<!DOCTYPE x><R>a<!-- note -->b</R>");
  ASSERT_EQ(Names(e), Strings{"R"});
  EXPECT_EQ(e.Children[0]->Text, "ab");

  // Text after the last tag, or a document without tags, leaves no text.
  TXMLObject f;
  f.Parse("<R/>trailing");
  EXPECT_EQ(f.Text, "");
  f.Parse("no tags at all");
  EXPECT_EQ(f.Text, "");
  EXPECT_EQ(Names(f), Strings{"R"});
  f.Parse("");
  EXPECT_EQ(Names(f), Strings{"R"});

  // An end tag at the top ends the parse.
  TXMLObject g;
  g.Parse("<A/></B><C/>");
  EXPECT_EQ(Names(g), Strings{"A"});

  // A "<" without any ">" after it ends every open element; text before
  // it still counts.
  TXMLObject h;
  h.Parse("<A>ab<cd<ef");
  ASSERT_EQ(Names(h), Strings{"A"});
  EXPECT_EQ(h.Children[0]->Text, "ab");
  TXMLObject i;
  i.Parse("<A><B/>ab<cd");
  EXPECT_EQ(i.Children[0]->Text, "");
}

TEST(XMLParse, NamesAttributesAndEscapedText) {
  TXMLObject root;
  root.Parse(
      "<Info-1.x:y_z lang=\"de\" path='C:\\Tolva\\'>Gr\xC3\xBC&szlig;e &amp; &lt;mehr&gt;"
      "</Info-1.x:y_z><Empty a=\"1\"/><Odd/ x><Last></Last>");
  ASSERT_EQ(Names(root), (Strings{"Info-1.x:y_z", "Empty", "Odd"}));
  const TXMLObject& info = *root.Children[0];
  // Text and values stay escaped until read with a mode.
  EXPECT_EQ(info.Text, "Gr\xC3\xBC&szlig;e &amp; &lt;mehr&gt;");
  EXPECT_EQ(TXMLObject::GetText(&info, 0), "Gr\xFC&szlig;e & <mehr>");
  ASSERT_EQ(info.Attributes.size(), 2u);
  EXPECT_EQ(info.Attributes[1].Name, "path");
  EXPECT_EQ(info.Attributes[1].Value, "C:\\Tolva\\");
  EXPECT_EQ(TXMLObject::GetAttribute(&info, "lang", 0), "de");
  EXPECT_EQ(root.Children[1]->Attributes[0].Value, "1");
  // "<Odd/ x>" does not end in "/>", so Odd stays open and Last is its child.
  const TXMLObject& odd = *root.Children[2];
  EXPECT_EQ(Names(odd), Strings{"Last"});
  EXPECT_TRUE(odd.Attributes.empty());

  // A name stops at the first character outside letters, digits and - . : _
  TXMLObject names;
  names.Parse("<a#b/><\xE9t\xE9/><9/>");
  EXPECT_EQ(Names(names), (Strings{"a", "9"}));

  // Names are cut to 255 characters.
  TXMLObject longName;
  longName.Parse("<" + std::string(300, 'n') + " a=\"1\"/>");
  ASSERT_EQ(longName.Children.size(), 1u);
  EXPECT_EQ(longName.Children[0]->Name, std::string(255, 'n'));
  EXPECT_EQ(longName.Children[0]->Attributes[0].Value, "1");

  // Parse appends; it does not clear the node first.
  TXMLObject twice;
  twice.Text = "kept";
  twice.Parse("<A/>");
  twice.Parse("lost<B/>");
  EXPECT_EQ(Names(twice), (Strings{"A", "B"}));
  EXPECT_EQ(twice.Text, "kept");
}

TEST(XMLParse, WrittenDocumentsReadBackUnchanged) {
  TXMLObject root;
  TXMLObject* info = root.AddChild("info", "", 0);
  info->SetAttribute("version", "9.1.5-7", false, 0);
  info->SetChildText("title", "Caf\xE9 & <Bar>", 0);
  info->AddChildren("mirror", " http://a/ ;; ;;http://b/?x=1&y=2;;", 0);
  TXMLObject* item = info->AddChild("item", "", 0);
  item->SetAttribute("name", "it's \"quoted\"", false, 0);
  const std::string text = root.ToText(true, true);

  TXMLObject back;
  back.Parse(text);
  EXPECT_EQ(back.ToText(true, true), text);
  const TXMLObject* readInfo = back.FindChild("info");
  ASSERT_NE(readInfo, nullptr);
  EXPECT_EQ(readInfo->GetChildText("title", 0), "Caf\xE9 & <Bar>");
  EXPECT_EQ(TXMLObject::GetAttribute(readInfo->FindChild("item"), "name", 0), "it's \"quoted\"");
  Strings mirrors;
  for (const auto& child : readInfo->Children)
    if (child->Name == "mirror") mirrors.push_back(TXMLObject::GetText(child.get(), 0));
  EXPECT_EQ(mirrors, (Strings{"http://a/", "http://b/?x=1&y=2"}));
}

TEST(XMLTree, ChildrenAttributesAndLookups) {
  TXMLObject root;
  // An empty value adds nothing; replace keeps the attribute's place.
  root.SetAttribute("a", "", false, 3);
  EXPECT_TRUE(root.Attributes.empty());
  root.SetAttribute("a", "1", false, 3);
  root.SetAttribute("b", "2", false, 3);
  root.SetAttribute("a", "3", true, 3);
  root.SetAttribute("a", "", true, 3);
  ASSERT_EQ(root.Attributes.size(), 2u);
  EXPECT_EQ(root.Attributes[0].Name, "a");
  EXPECT_EQ(root.Attributes[0].Value, "3");
  root.SetAttribute("a", "4", false, 3);
  ASSERT_EQ(root.Attributes.size(), 3u);
  EXPECT_EQ(root.Attributes[2].Value, "4");
  EXPECT_EQ(TXMLObject::GetAttribute(&root, "a", 3), "3");
  root.SetAttribute("c", "<>", true, 1);
  EXPECT_EQ(root.Attributes[3].Value, "&lt;&gt;");
  EXPECT_EQ(TXMLObject::GetAttribute(&root, "c", 1), "<>");
  EXPECT_EQ(TXMLObject::GetAttribute(&root, "C", 1), "");
  EXPECT_EQ(TXMLObject::GetAttribute(nullptr, "a", 1), "");

  EXPECT_EQ(root.AddTextChild("t", "", 3), nullptr);
  EXPECT_TRUE(root.Children.empty());
  TXMLObject* t = root.AddTextChild("t", "x&", 1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Text, "x&amp;");
  TXMLObject* second = root.AddChild("t", "y", 3);
  EXPECT_EQ(root.FindChild("t"), t);
  EXPECT_EQ(root.FindChild("T"), nullptr);
  EXPECT_EQ(root.GetChildText("t", 1), "x&");
  EXPECT_EQ(root.GetChildText("t", 3), "x&amp;");
  EXPECT_EQ(root.GetChildText("missing", 1), "");
  EXPECT_EQ(TXMLObject::GetChildText(nullptr, "t", 1), "");
  EXPECT_EQ(TXMLObject::GetChildText(&root, "t", 1), "x&");
  EXPECT_EQ(TXMLObject::GetText(nullptr, 1), "");
  EXPECT_EQ(TXMLObject::GetText(second, 1), "y");

  // SetChildText sets the first child of that name, even to an empty text,
  // and appends one when there is none.
  EXPECT_EQ(root.SetChildText("t", "", 1), t);
  EXPECT_EQ(t->Text, "");
  EXPECT_EQ(second->Text, "y");
  TXMLObject* u = root.SetChildText("u", "", 1);
  EXPECT_EQ(Names(root), (Strings{"t", "t", "u"}));
  EXPECT_EQ(u->Text, "");

  // AddChildren splits at ";;" and trims each piece.
  TXMLObject list;
  list.AddChildren("n", "a;;  ;; b c ;;;d;;", 3);
  EXPECT_EQ(Names(list), (Strings{"n", "n", "n"}));
  EXPECT_EQ(list.Children[0]->Text, "a");
  EXPECT_EQ(list.Children[1]->Text, "b c");
  EXPECT_EQ(list.Children[2]->Text, ";d");
  list.AddChildren("n", "", 3);
  EXPECT_EQ(list.Children.size(), 3u);

  // Names are short strings.
  EXPECT_EQ(root.AddChild(std::string(256, 'x'), "", 3)->Name.size(), 255u);

  root.Clear();
  EXPECT_TRUE(root.Children.empty());
  EXPECT_TRUE(root.Attributes.empty());
  EXPECT_EQ(root.Text, "");
  TXMLObject named;
  named.Name = "N";
  named.Text = "t";
  named.Clear();
  EXPECT_EQ(named.Name, "");
  EXPECT_EQ(named.Text, "");
}

TEST(XMLParse, DeepNestingNeedsNoCallStack) {
  const size_t depth = 1000000;
  std::string text;
  text.reserve(depth * 3 + 4);
  for (size_t i = 0; i < depth; ++i)
    text += "<a>";
  text += "x<b/>";
  {
    TXMLObject root;
    root.Parse(text);
    const TXMLObject* node = &root;
    size_t levels = 0;
    while (!node->Children.empty() && node->Children[0]->Name == "a") {
      node = node->Children[0].get();
      ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(Names(*node), Strings{"b"});
    EXPECT_EQ(node->Text, "");

    std::string expected;
    expected.reserve(depth * 7 + 8);
    for (size_t i = 0; i < depth; ++i)
      expected += "<a>";
    expected += "<b/>";
    for (size_t i = 0; i < depth; ++i)
      expected += "</a>";
    EXPECT_EQ(root.ToText(false, false), expected);
  }  // the whole tree is destroyed here

  // A tree built by hand is written and cleared the same way.
  TXMLObject built;
  TXMLObject* node = &built;
  for (size_t i = 0; i < depth; ++i)
    node = node->AddChild("c", "", 3);
  node->SetText("end", 3);
  std::string serialized = built.ToText(true, false);
  EXPECT_EQ(serialized.size(), depth * 9 + 3);
  EXPECT_EQ(serialized.substr(depth * 3, 9), "end</c>\r\n");
  built.Clear();
  EXPECT_TRUE(built.Children.empty());
}

TEST(XMLFiles, LoadAndSave) {
  TempFolder temp;
  TXMLObject root;
  EXPECT_FALSE(root.LoadFromFile(temp / "missing.xml"));
  PutFile(temp / "empty.xml", "");
  EXPECT_FALSE(root.LoadFromFile(temp / "empty.xml"));
  // Nothing to write: false, and no file appears.
  EXPECT_FALSE(root.SaveToFile(temp / "none.xml", true, false));
  EXPECT_FALSE(platform::PathExists(temp / "none.xml"));

  PutFile(temp / "info.xml", "<?xml version=\"1.0\"?>\r\n<info><name>Tolva</name></info>");
  ASSERT_TRUE(root.LoadFromFile(temp / "info.xml"));
  EXPECT_EQ(root.FindChild("info")->GetChildText("name", 0), "Tolva");
  // Loading appends to what is there.
  ASSERT_TRUE(root.LoadFromFile(temp / "info.xml"));
  EXPECT_EQ(root.Children.size(), 2u);

  // The folder is created; the file holds exactly the serialization.
  std::string path = temp / "new\\sub\\out.xml";
  ASSERT_TRUE(root.SaveToFile(path, true, true));
  EXPECT_EQ(GetFile(path), root.ToText(true, true));
  EXPECT_EQ(GetFile(path).substr(0, 5), "<?xml");
  // Saving again replaces the file.
  TXMLObject small;
  small.AddChild("s", "", 3);
  ASSERT_TRUE(small.SaveToFile(path, false, false));
  EXPECT_EQ(GetFile(path), "<s/>");
  // A folder in the way makes the save fail.
  EXPECT_FALSE(small.SaveToFile(temp / "new", false, false));
}
