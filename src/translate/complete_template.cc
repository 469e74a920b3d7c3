// A small recursive filler: an optional segment is filled like a template
// of its own once its arguments are known to be there.
#include "translate/complete_template.h"

namespace corvexa {
namespace {

constexpr std::string_view segment_open = "{[";
constexpr std::string_view segment_close = "]}";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool has_argument(const template_values& values, std::size_t index) {
  return index < values.arguments.converted.size();
}

// True if every argument that `segment` names is there.
bool all_named_arguments_there(std::string_view segment, const template_values& values) {
  for (std::size_t at = segment.find('{'); at != std::string_view::npos;
       at = segment.find('{', at + 1)) {
    if (at + 1 < segment.size() && is_digit(segment[at + 1]) &&
        !has_argument(values, static_cast<std::size_t>(segment[at + 1] - '0'))) {
      return false;
    }
  }
  return true;
}

class filler {
 public:
  explicit filler(const template_values& values) : values_(values) {}

  void fill(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
      std::size_t open = text.find('{', at);
      if (open == std::string_view::npos) break;
      result_.text.append(text.substr(at, open - at));
      at = place(text, open);
    }
    if (at < text.size()) result_.text.append(text.substr(at));
  }

  filled_template take() { return std::move(result_); }

 private:
  // Writes the place that begins at `open`; returns where the text goes on.
  std::size_t place(std::string_view text, std::size_t open) {
    if (text.substr(open, segment_open.size()) == segment_open) {
      std::size_t close = text.find(segment_close, open);
      std::string_view segment = text.substr(open + 2, close - open - 2);
      if (all_named_arguments_there(segment, values_)) fill(segment);
      return close + segment_close.size();
    }
    std::size_t close = text.find('}', open);
    std::string_view name = text.substr(open + 1, close - open - 1);
    write_value(name);
    return close + 1;
  }

  void write_value(std::string_view name) {
    if (name == "L" || name == "L?") {
      bool explicit_link = values_.link_argument >= 0 &&
                           has_argument(values_, static_cast<std::size_t>(values_.link_argument));
      if (explicit_link) {
        auto index = static_cast<std::size_t>(values_.link_argument);
        result_.placed.emplace_back(index, result_.text.size());
        result_.text.append(values_.arguments.converted[index]);
      } else {
        result_.text.append(name == "L" ? last_link : last_link_or_none);
      }
    } else if (name == "N") {
      result_.text.append(new_link);
    } else if (name == "G") {
      result_.text.append(last_link);
    } else if (name == "R") {
      result_.text.append(last_result);
    } else if (name == "C") {
      result_.text.append(values_.connection);
    } else if (name == "F") {
      result_.text.append(values_.flags);
    } else if (name == "E") {
      result_.text.append(values_.encoding);
    } else if (name == "M") {
      result_.text.append(values_.errno_arms);
    } else {
      auto index = static_cast<std::size_t>(name[0] - '0');
      if (has_argument(values_, index)) {
        result_.placed.emplace_back(index, result_.text.size());
        result_.text.append(values_.arguments.converted[index]);
      } else if (name.size() > 1 && name[1] == '|') {
        result_.text.append(name.substr(2));
      } else {
        result_.missing.push_back(index);
      }
    }
  }

  const template_values& values_;
  filled_template result_;
};

}  // namespace

filled_template fill_template(std::string_view text, const template_values& values) {
  filler fill(values);
  fill.fill(text);
  return fill.take();
}

}  // namespace corvexa
