// The one writer of the tool's markup: the SVG chart and the HTML report
// page (written as XHTML-compatible HTML, so an XML parser accepts it too).
//
// Elements and attributes are made only here. Every text and every
// attribute value is escaped (& < > " become entities), every control
// character but tab, line feed and carriage return (C0, DEL and C1) becomes
// U+FFFD, which XML does not forbid, and the output is valid UTF-8 whatever
// bytes it is given (tool_text.h). Names of elements and attributes are the
// caller's constants. close() ends the innermost element still open; a
// document is done when none is.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pavecast {

struct Attribute {
  std::string_view name;
  std::string value;
};
using Attributes = std::vector<Attribute>;

class Markup {
 public:
  // <?xml version="1.0" encoding="UTF-8"?> and a line end.
  Markup& xml_declaration();
  // <!DOCTYPE html> and a line end.
  Markup& html_doctype();

  // <name a="v" ...>
  Markup& open(std::string_view name, const Attributes& attributes = {});
  // </name> of the innermost element open.
  Markup& close();
  // <name a="v" .../>
  Markup& empty(std::string_view name, const Attributes& attributes = {});
  // <name a="v" ...>text</name>
  Markup& element(std::string_view name, const Attributes& attributes, std::string_view text);
  Markup& element(std::string_view name, std::string_view text) { return element(name, {}, text); }
  Markup& text(std::string_view text);
  // A character reference, "&#8594;".
  Markup& character(char32_t code_point);
  Markup& line_end();
  // Another writer's document (an element it closed), taken as it is.
  Markup& append(const Markup& other);

  int depth() const { return static_cast<int>(open_.size()); }
  const std::string& str() const { return out_; }

 private:
  void start_tag(std::string_view name, const Attributes& attributes);

  std::string out_;
  std::vector<std::string> open_;
};

// Text escaped as Markup writes it.
std::string markup_escaped(std::string_view text);

}  // namespace pavecast
