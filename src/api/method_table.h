#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/result.h"
#include "torvane/torvane_control.h"
#include "torvane/variant.h"

// The name -> method table over TorvaneControl's public methods, with each parameter's type,
// so that hosts that speak in names and loose values (the shell, scripts) can call them.
namespace torvane::api {

enum class ParameterType { kString, kBool, kInt16, kInt32, kDouble, kVariant };

struct Parameter {
  ParameterType type;
  bool written_back;  // the method may change the caller's value
};

struct Method {
  std::string name;
  std::vector<Parameter> parameters;
  std::size_t required = 0;  // trailing parameters beyond this are optional (empty by default)
  // Runs the method on arguments already converted to the parameter types; on return the
  // arguments hold the values after the call.
  std::function<Variant(TorvaneControl&, std::vector<Variant>&)> invoke;
};

std::string_view ParameterTypeName(ParameterType type);

// Converts a loosely typed argument (text from a command line, a JSON value) to a parameter
// type: text "12" to an integer, a whole double to an integer, "true"/"false" to a boolean.
// False, with the reason, when the value cannot stand for that type.
bool ConvertArgument(const Variant& given, ParameterType type, Variant& converted,
                     std::string& error);

class MethodTable {
 public:
  static const MethodTable& Instance();

  // The exact name first, then the name in any letter case.
  const Method* Find(std::string_view name) const;
  const std::vector<Method>& methods() const { return methods_; }

  void Add(Method method) { methods_.push_back(std::move(method)); }

 private:
  std::vector<Method> methods_;
};

// Checks the argument count, converts the arguments and calls the method. On success `args`
// holds the argument values after the call.
Result<Variant> CallMethod(TorvaneControl& control, const Method& method,
                           std::vector<Variant>& args);

// ---- building rows from member functions ----

template <typename T>
struct ParameterTraits;
template <>
struct ParameterTraits<const std::string&> {
  static constexpr Parameter kParameter{ParameterType::kString, false};
  using Storage = std::string;
};
template <>
struct ParameterTraits<std::string&> {
  static constexpr Parameter kParameter{ParameterType::kString, true};
  using Storage = std::string;
};
template <>
struct ParameterTraits<const Variant&> {
  static constexpr Parameter kParameter{ParameterType::kVariant, false};
  using Storage = Variant;
};
template <>
struct ParameterTraits<Variant&> {
  static constexpr Parameter kParameter{ParameterType::kVariant, true};
  using Storage = Variant;
};
template <>
struct ParameterTraits<bool> {
  static constexpr Parameter kParameter{ParameterType::kBool, false};
  using Storage = bool;
};
template <>
struct ParameterTraits<std::int16_t> {
  static constexpr Parameter kParameter{ParameterType::kInt16, false};
  using Storage = std::int16_t;
};
template <>
struct ParameterTraits<std::int16_t&> {
  static constexpr Parameter kParameter{ParameterType::kInt16, true};
  using Storage = std::int16_t;
};
template <>
struct ParameterTraits<std::int32_t> {
  static constexpr Parameter kParameter{ParameterType::kInt32, false};
  using Storage = std::int32_t;
};
template <>
struct ParameterTraits<double> {
  static constexpr Parameter kParameter{ParameterType::kDouble, false};
  using Storage = double;
};

namespace detail {

template <typename T>
T FromVariant(const Variant& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    return value.ToText();
  } else if constexpr (std::is_same_v<T, Variant>) {
    return value;
  } else if constexpr (std::is_same_v<T, bool>) {
    return value.AsBool().value_or(false);
  } else if constexpr (std::is_same_v<T, double>) {
    return value.AsDouble().value_or(0.0);
  } else {
    return static_cast<T>(value.AsInteger().value_or(0));
  }
}

template <typename T>
Variant ToVariant(T value) {
  return Variant(std::move(value));
}

template <typename R, typename... A, std::size_t... I>
Variant Invoke(TorvaneControl& control, R (TorvaneControl::*member)(A...),
               std::vector<Variant>& args, std::index_sequence<I...>) {
  std::tuple<typename ParameterTraits<A>::Storage...> values{
      FromVariant<typename ParameterTraits<A>::Storage>(args[I])...};
  Variant result;
  if constexpr (std::is_void_v<R>) {
    (control.*member)(std::get<I>(values)...);
  } else {
    result = ToVariant((control.*member)(std::get<I>(values)...));
  }
  ((args[I] = ToVariant(std::get<I>(values))), ...);
  return result;
}

}  // namespace detail

// A table row for a public member function; `required` marks trailing optional parameters.
template <typename R, typename... A>
Method Row(std::string name, R (TorvaneControl::*member)(A...),
           std::size_t required = sizeof...(A)) {
  Method method;
  method.name = std::move(name);
  method.parameters = {ParameterTraits<A>::kParameter...};
  method.required = required;
  method.invoke = [member](TorvaneControl& control, std::vector<Variant>& args) {
    return detail::Invoke(control, member, args, std::index_sequence_for<A...>{});
  };
  return method;
}

// Rows of each family of methods; each family adds its own.
void AddCoreMethods(MethodTable& table);
void AddLookupMethods(MethodTable& table);
void AddWebMethods(MethodTable& table);
void AddUploadMethods(MethodTable& table);
void AddExtrasMethods(MethodTable& table);
void AddLogbookMethods(MethodTable& table);
void AddGeoMethods(MethodTable& table);
void AddBeaconMethods(MethodTable& table);
void AddWeatherMethods(MethodTable& table);

}  // namespace torvane::api
