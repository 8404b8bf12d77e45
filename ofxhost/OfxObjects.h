// What the host's handles point at: effects (descriptors and instances), their clips and
// parameters. Handles are these objects' addresses.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ofxapi/OfxApi.h"
#include "ofxhost/PropertySet.h"

namespace kelvrix::ofxhost {

struct Param {
  std::string type;
  PropertySet props;
  double doubleValue = 0;
  int intValue = 0;
  OfxParamHandle handle() { return reinterpret_cast<OfxParamHandle>(this); }
  static Param* Of(OfxParamHandle h) { return reinterpret_cast<Param*>(h); }
  bool IsDouble() const { return type == kOfxParamTypeDouble; }
};

struct ParamSet {
  PropertySet* effectProps = nullptr;  // a parameter set's properties are its effect's
  std::map<std::string, std::unique_ptr<Param>> params;
  std::vector<std::string> order;
  OfxParamSetHandle handle() { return reinterpret_cast<OfxParamSetHandle>(this); }
  static ParamSet* Of(OfxParamSetHandle h) { return reinterpret_cast<ParamSet*>(h); }
};

struct Clip {
  std::string name;
  PropertySet props;
  OfxImageClipHandle handle() { return reinterpret_cast<OfxImageClipHandle>(this); }
  static Clip* Of(OfxImageClipHandle h) { return reinterpret_cast<Clip*>(h); }
};

struct Effect {
  bool instance = false;
  PropertySet props;
  ParamSet params;
  std::map<std::string, std::unique_ptr<Clip>> clips;
  Effect() { params.effectProps = &props; }
  OfxImageEffectHandle handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }
  static Effect* Of(OfxImageEffectHandle h) { return reinterpret_cast<Effect*>(h); }
};

}  // namespace kelvrix::ofxhost
