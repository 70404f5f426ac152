#include "platform/core/textrecords.h"

#include <charconv>
#include <cstring>

#include "platform/core/codepage.h"
#include "platform/core/errors.h"

namespace platform {

bool IsPlainField(std::string_view text) {
  if (text.empty()) return true;
  if (text.front() == ' ' || text.front() == '\t' || text.front() == '"') return false;
  return text.find_first_of(",\r\n") == std::string_view::npos;
}

namespace {

void AppendQuoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (std::size_t b = 0;;) {
    std::size_t q = text.find('"', b);
    if (q == std::string_view::npos) {
      out.append(text.substr(b));
      break;
    }
    out.append(text.substr(b, q + 1 - b));
    out.push_back('"');
    b = q + 1;
  }
  out.push_back('"');
}

}  // namespace

void AppendField(std::string& out, std::string_view text) {
  if (IsPlainField(text)) {
    out.append(text);
  } else {
    AppendQuoted(out, text);
  }
}

std::string EncodeField(std::string_view text) {
  std::string out;
  AppendField(out, text);
  return out;
}

void AppendNameField(std::string& out, std::string_view text) {
  if (text.find(kChr187) == std::string_view::npos) {
    if (IsPlainField(text)) {
      out.append(text);
      return;
    }
    const std::size_t start = out.size();
    for (char c : text) {
      if (c == ',') {
        out.append(kChr187);
      } else {
        out.push_back(c);
      }
    }
    if (IsPlainField(std::string_view(out).substr(start))) return;
    out.resize(start);
  }
  AppendQuoted(out, text);
}

void RestoreNameCommas(std::string& text) {
  if (text.find(kChr187) != std::string::npos) text = ReplaceAll(text, kChr187, ",");
}

const char* ReadQuotedField(const char* p, const char* end, std::string& text) {
  text.clear();
  ++p;  // the opening quote
  while (p < end) {
    const void* hit = std::memchr(p, '"', static_cast<std::size_t>(end - p));
    const char* q = hit ? static_cast<const char*>(hit) : end;
    text.append(p, q);
    if (q == end) return end;
    if (q + 1 < end && q[1] == '"') {
      text.push_back('"');
      p = q + 2;
    } else {
      return q + 1;
    }
  }
  return end;
}

void ListWriter::Separate() {
  if (fieldsInLine_++ > 0) out_.push_back(',');
}

ListWriter& ListWriter::Text(std::string_view text) {
  Separate();
  AppendField(out_, text);
  return *this;
}

ListWriter& ListWriter::Raw(std::string_view text) {
  Separate();
  out_.append(text);
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
  lastQuoted_ = pos_ < text_.size() && text_[pos_] == '"';
  if (lastQuoted_) {
    const char* begin = text_.data();
    const char* after = ReadQuotedField(begin + pos_, begin + text_.size(), unquoted_);
    field = unquoted_;
    pos_ = static_cast<std::size_t>(after - begin);
    // Whatever stands between the closing quote and the separator is dropped.
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
  } else {
    std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    field = text_.substr(start, pos_ - start);
  }
  lastEndedLine_ = !(pos_ < text_.size() && text_[pos_] == ',');
  if (lastEndedLine_) {
    SkipLineEnd();
  } else {
    ++pos_;
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
