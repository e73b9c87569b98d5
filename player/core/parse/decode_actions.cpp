#include <map>

#include "limits.h"
#include "load_context.h"

namespace swf {
namespace {

void readPush(Reader& r, Action& a) {
    while (!r.atEnd()) {
        PushValue v;
        uint8_t type = r.u8();
        switch (type) {
            case 0: v.type = PushValue::Type::String; v.string = r.cstring(); break;
            case 1: v.type = PushValue::Type::Number; v.number = r.f32(); break;
            case 2: v.type = PushValue::Type::Null; break;
            case 3: v.type = PushValue::Type::Undefined; break;
            case 4: v.type = PushValue::Type::Register; v.number = r.u8(); break;
            case 5: v.type = PushValue::Type::Bool; v.number = r.u8() ? 1 : 0; break;
            case 6: v.type = PushValue::Type::Number; v.number = r.f64(); break;
            case 7: v.type = PushValue::Type::Number; v.number = double(r.s32()); break;
            case 8: v.type = PushValue::Type::Constant; v.number = r.u8(); break;
            case 9: v.type = PushValue::Type::Constant; v.number = r.u16(); break;
            default: r.fail("unknown push type " + std::to_string(type));
        }
        a.values.push_back(std::move(v));
    }
}

}  // namespace

// Branch offsets count bytes from the end of the branching action; they are mapped to indices
// here, and a branch into the middle of an action or outside the block ends the block.
ActionListPtr decodeActions(Reader& r) {
    auto list = std::make_shared<ActionList>();
    std::map<size_t, size_t> indexAt;  // byte offset -> action index
    std::vector<std::pair<size_t, int64_t>> branches;  // action index, target byte offset
    while (!r.atEnd() && list->size() < kMaxActionsPerFrame) {
        size_t start = r.position();
        Action a;
        indexAt[start] = list->size();
        try {
        a.code = r.u8();
        if (a.code == 0) break;
        Reader args;
        if (a.code >= 0x80) args = r.sub(r.u16());
        switch (ActionCode(a.code)) {
            case ActionCode::GotoFrame: a.frame = args.u16(); break;
            case ActionCode::GotoLabel:
            case ActionCode::SetTarget: a.text = args.cstring(); break;
            case ActionCode::GotoFrame2: {
                uint8_t flags = args.u8();
                a.play = flags & 0x01;
                if (flags & 0x02) a.sceneBias = args.u16();
                break;
            }
            case ActionCode::ConstantPool: {
                size_t count = args.u16();
                for (size_t i = 0; i < count && !args.atEnd(); ++i) a.pool.push_back(args.cstring());
                break;
            }
            case ActionCode::Push: readPush(args, a); break;
            case ActionCode::Jump:
            case ActionCode::If: branches.emplace_back(list->size(), int64_t(r.position()) + args.s16()); break;
            case ActionCode::DefineFunction: {
                args.cstring();
                size_t params = args.u16();
                for (size_t i = 0; i < params; ++i) args.cstring();
                branches.emplace_back(list->size(), int64_t(r.position()) + args.u16());
                break;
            }
            case ActionCode::DefineFunction2: {
                args.cstring();
                size_t params = args.u16();
                args.skip(3);  // register count, flags
                for (size_t i = 0; i < params; ++i) {
                    args.u8();
                    args.cstring();
                }
                branches.emplace_back(list->size(), int64_t(r.position()) + args.u16());
                break;
            }
            default: break;
        }
        } catch (const ParseError&) {
            break;  // a damaged action ends the block; what came before still runs
        }
        list->push_back(std::move(a));
    }
    indexAt.emplace(r.position(), list->size());
    for (auto [index, target] : branches) {
        auto it = target >= 0 ? indexAt.find(size_t(target)) : indexAt.end();
        (*list)[index].next = it != indexAt.end() ? it->second : list->size();
    }
    return list;
}

}  // namespace swf
