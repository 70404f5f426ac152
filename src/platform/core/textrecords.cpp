#include "platform/core/textrecords.h"

#include <charconv>

#include "platform/core/errors.h"

namespace platform {

void ListWriter::Separate() {
  if (fieldsInLine_++ > 0) out_.push_back(',');
}

ListWriter& ListWriter::Text(std::string_view text) {
  Separate();
  out_.append(text);
  return *this;
}

ListWriter& ListWriter::TextQuotedIfComma(std::string_view text) {
  if (text.find(',') == std::string_view::npos) return Text(text);
  Separate();
  out_.push_back('"');
  // A double quote would end the quoted field early; an apostrophe keeps the text readable.
  for (char c : text) out_.push_back(c == '"' ? '\'' : c);
  out_.push_back('"');
  return *this;
}

ListWriter& ListWriter::Number(std::int64_t value) {
  Separate();
  out_.append(ListNumber(value));
  return *this;
}

ListWriter& ListWriter::EndLine() {
  out_.append("\r\n");
  fieldsInLine_ = 0;
  return *this;
}

std::string NumberText(std::int64_t value) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
  (void)ec;
  std::string out;
  if (value >= 0) out.push_back(' ');
  out.append(digits, end);
  return out;
}

std::string ListNumber(std::int64_t value) { return NumberText(value) + ' '; }

bool ParseListNumber(std::string_view field, std::int64_t& value) {
  std::size_t b = 0, e = field.size();
  while (b < e && (field[b] == ' ' || field[b] == '\t')) ++b;
  while (e > b && (field[e - 1] == ' ' || field[e - 1] == '\t')) --e;
  if (b == e) {
    value = 0;
    return true;
  }
  if (field[b] == '+') ++b;
  auto [ptr, ec] = std::from_chars(field.data() + b, field.data() + e, value);
  return ec == std::errc() && ptr == field.data() + e;
}

void ListReader::SkipLineEnd() {
  if (pos_ < text_.size() && text_[pos_] == '\r') {
    ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  } else if (pos_ < text_.size() && text_[pos_] == '\n') {
    ++pos_;
  }
}

std::string_view ListReader::FieldView() {
  if (AtEnd()) throw VbError(errInputPastEnd);
  while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  std::string_view field;
  if (pos_ < text_.size() && text_[pos_] == '"') {
    std::size_t close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos) close = text_.size();
    field = text_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close < text_.size() ? close + 1 : close;
    // Whatever stands between the closing quote and the separator is dropped.
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
  } else {
    std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    field = text_.substr(start, pos_ - start);
  }
  if (pos_ < text_.size() && text_[pos_] == ',') {
    ++pos_;
  } else {
    SkipLineEnd();
  }
  return field;
}

std::string ListReader::Field() { return std::string(FieldView()); }

std::int64_t ListReader::NumberField() {
  std::int64_t value = 0;
  if (!ParseListNumber(FieldView(), value)) throw VbError(errTypeMismatch);
  return value;
}

std::string ListReader::Line() {
  if (AtEnd()) throw VbError(errInputPastEnd);
  std::size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
  std::string line(text_.substr(start, pos_ - start));
  SkipLineEnd();
  return line;
}

}  // namespace platform
