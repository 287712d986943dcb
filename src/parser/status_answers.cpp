// Frequency, mode, VFO and status answers.
#include "host/protocol_impl.h"
#include "parser/decoders.h"

namespace veltro::detail {

void DecodeAI(ProtocolImpl&, std::string_view, bool&) {}
void DecodeIF(ProtocolImpl&, std::string_view, bool&) {}
void DecodeOI(ProtocolImpl&, std::string_view, bool&) {}
void DecodeVS(ProtocolImpl&, std::string_view, bool&) {}
void DecodeFA(ProtocolImpl&, std::string_view, bool&) {}
void DecodeFB(ProtocolImpl&, std::string_view, bool&) {}
void DecodeMD(ProtocolImpl&, std::string_view, bool&) {}
void DecodeFT(ProtocolImpl&, std::string_view, bool&) {}
void DecodeST(ProtocolImpl&, std::string_view, bool&) {}
void DecodeTX(ProtocolImpl&, std::string_view, bool&) {}
void DecodeLK(ProtocolImpl&, std::string_view, bool&) {}
void DecodeBY(ProtocolImpl&, std::string_view, bool&) {}

}  // namespace veltro::detail
