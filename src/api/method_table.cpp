#include "api/method_table.h"

#include <fmt/format.h>

#include <cmath>
#include <limits>

#include "core/text.h"

namespace torvane::api {

namespace {

MethodTable BuildTable() {
  MethodTable table;
  AddCoreMethods(table);
  AddLookupMethods(table);
  AddWebMethods(table);
  AddUploadMethods(table);
  AddExtrasMethods(table);
  AddLogbookMethods(table);
  AddGeoMethods(table);
  AddBeaconMethods(table);
  AddWeatherMethods(table);
  return table;
}

bool WholeNumberInRange(double value, double low, double high) {
  return std::isfinite(value) && std::floor(value) == value && value >= low && value <= high;
}

}  // namespace

std::string_view ParameterTypeName(ParameterType type) {
  switch (type) {
    case ParameterType::kString:
      return "text";
    case ParameterType::kBool:
      return "a boolean";
    case ParameterType::kInt16:
      return "a 16-bit integer";
    case ParameterType::kInt32:
      return "a 32-bit integer";
    case ParameterType::kDouble:
      return "a number";
    case ParameterType::kVariant:
      return "a value";
  }
  return "a value";
}

const MethodTable& MethodTable::Instance() {
  static const MethodTable table = BuildTable();
  return table;
}

const Method* MethodTable::Find(std::string_view name) const {
  for (const Method& method : methods_) {
    if (method.name == name) return &method;
  }
  for (const Method& method : methods_) {
    if (text::EqualsIgnoreCase(method.name, name)) return &method;
  }
  return nullptr;
}

bool ConvertArgument(const Variant& given, ParameterType type, Variant& converted,
                     std::string& error) {
  const auto fail = [&] {
    error = fmt::format("expected {}, got {} \"{}\"", ParameterTypeName(type),
                        TypeName(given.type()), given.ToText());
    return false;
  };
  switch (type) {
    case ParameterType::kVariant:
      converted = given;
      return true;
    case ParameterType::kString:
      if (given.type() == Variant::Type::kArray) return fail();
      converted = Variant(given.ToText());
      return true;
    case ParameterType::kBool: {
      if (const auto value = given.AsBool()) {
        converted = Variant(*value);
        return true;
      }
      if (given.IsEmpty()) {
        converted = Variant(false);
        return true;
      }
      if (given.IsNumber()) {
        converted = Variant(*given.ToNumber() != 0);
        return true;
      }
      const std::string word = text::ToLower(text::Trim(given.ToText()));
      if (word == "true" || word == "1") {
        converted = Variant(true);
      } else if (word == "false" || word == "0") {
        converted = Variant(false);
      } else {
        return fail();
      }
      return true;
    }
    case ParameterType::kInt16:
    case ParameterType::kInt32: {
      if (given.type() == Variant::Type::kArray || given.type() == Variant::Type::kBool) {
        return fail();
      }
      const std::optional<double> number = given.ToNumber();
      const bool narrow = type == ParameterType::kInt16;
      const double low = narrow ? std::numeric_limits<std::int16_t>::min()
                                : std::numeric_limits<std::int32_t>::min();
      const double high = narrow ? std::numeric_limits<std::int16_t>::max()
                                 : std::numeric_limits<std::int32_t>::max();
      if (!number || !WholeNumberInRange(*number, low, high)) return fail();
      if (narrow) {
        converted = Variant(static_cast<std::int16_t>(*number));
      } else {
        converted = Variant(static_cast<std::int32_t>(*number));
      }
      return true;
    }
    case ParameterType::kDouble: {
      if (given.type() == Variant::Type::kArray || given.type() == Variant::Type::kBool) {
        return fail();
      }
      const std::optional<double> number = given.ToNumber();
      if (!number) return fail();
      converted = Variant(*number);
      return true;
    }
  }
  return fail();
}

Result<Variant> CallMethod(TorvaneControl& control, const Method& method,
                           std::vector<Variant>& args) {
  if (args.size() < method.required || args.size() > method.parameters.size()) {
    const std::string expected =
        method.required == method.parameters.size()
            ? std::to_string(method.required)
            : fmt::format("{} to {}", method.required, method.parameters.size());
    return Error{0, fmt::format("{} takes {} argument{}, got {}", method.name, expected,
                                method.parameters.size() == 1 ? "" : "s", args.size()),
                 ""};
  }
  std::vector<Variant> converted(method.parameters.size());
  for (std::size_t i = 0; i < method.parameters.size(); ++i) {
    if (i >= args.size()) {
      converted[i] = method.parameters[i].type == ParameterType::kString ? Variant("") : Variant();
      continue;
    }
    std::string error;
    if (!ConvertArgument(args[i], method.parameters[i].type, converted[i], error)) {
      return Error{0, fmt::format("argument {} of {}: {}", i + 1, method.name, error), ""};
    }
  }
  Variant result = method.invoke(control, converted);
  converted.resize(args.size());
  args = std::move(converted);
  return result;
}

}  // namespace torvane::api
