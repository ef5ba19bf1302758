#include "scenarios/markup.h"

#include <stdexcept>

#include "scenarios/tool_text.h"

namespace pavecast {

namespace {

bool is_control(char32_t cp) {
  if (cp == '\t' || cp == '\n' || cp == '\r') return false;
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

void append_escaped(std::string& out, std::string_view text) {
  for_each_code_point(text, [&](char32_t cp) {
    switch (cp) {
      case '&':
        out += "&amp;";
        return;
      case '<':
        out += "&lt;";
        return;
      case '>':
        out += "&gt;";
        return;
      case '"':
        out += "&quot;";
        return;
      default:
        append_utf8(out, is_control(cp) ? char32_t{0xFFFD} : cp);
    }
  });
}

}  // namespace

std::string markup_escaped(std::string_view text) {
  std::string out;
  append_escaped(out, text);
  return out;
}

Markup& Markup::xml_declaration() {
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  return *this;
}

Markup& Markup::html_doctype() {
  out_ += "<!DOCTYPE html>\n";
  return *this;
}

void Markup::start_tag(std::string_view name, const Attributes& attributes) {
  out_ += '<';
  out_ += name;
  for (const Attribute& a : attributes) {
    out_ += ' ';
    out_ += a.name;
    out_ += "=\"";
    append_escaped(out_, a.value);
    out_ += '"';
  }
}

Markup& Markup::open(std::string_view name, const Attributes& attributes) {
  start_tag(name, attributes);
  out_ += '>';
  open_.emplace_back(name);
  return *this;
}

Markup& Markup::close() {
  if (open_.empty()) throw std::logic_error("markup: close() with no element open");
  out_ += "</" + open_.back() + ">";
  open_.pop_back();
  return *this;
}

Markup& Markup::empty(std::string_view name, const Attributes& attributes) {
  start_tag(name, attributes);
  out_ += "/>";
  return *this;
}

Markup& Markup::element(std::string_view name, const Attributes& attributes,
                        std::string_view content) {
  return open(name, attributes).text(content).close();
}

Markup& Markup::text(std::string_view content) {
  append_escaped(out_, content);
  return *this;
}

Markup& Markup::character(char32_t code_point) {
  out_ += "&#" + std::to_string(static_cast<uint32_t>(code_point)) + ";";
  return *this;
}

Markup& Markup::line_end() {
  out_ += '\n';
  return *this;
}

Markup& Markup::append(const Markup& other) {
  if (other.depth() != 0) throw std::logic_error("markup: appending an unfinished document");
  out_ += other.out_;
  return *this;
}

}  // namespace pavecast
