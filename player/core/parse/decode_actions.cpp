#include <map>

#include "limits.h"
#include "load_context.h"

namespace swf {
namespace {

// Function bodies inside function bodies: deeper nesting ends the outer block.
constexpr int kMaxFunctionNesting = 64;

void readPush(Reader& r, Action& a) {
    while (!r.atEnd()) {
        PushValue v;
        uint8_t type = r.u8();
        switch (type) {
            case 0: v.type = PushValue::Type::String; v.string = std::make_shared<const std::string>(r.cstring()); break;
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

ActionListPtr decodeBlock(Reader& r, int nesting);

// The body follows the action in the outer stream; it is decoded as a list of its own.
std::shared_ptr<const FunctionBody> readFunction(Reader& r, Reader& args, bool isFunction2, int nesting) {
    auto f = std::make_shared<FunctionBody>();
    f->isFunction2 = isFunction2;
    f->name = args.cstring();
    size_t params = args.u16();
    if (isFunction2) {
        f->registerCount = args.u8();
        f->flags = args.u16();
    }
    for (size_t i = 0; i < params && !args.atEnd(); ++i) {
        f->paramRegisters.push_back(isFunction2 ? args.u8() : 0);
        f->params.push_back(args.cstring());
    }
    size_t codeSize = args.u16();
    if (codeSize > r.remaining()) codeSize = r.remaining();
    Reader body = r.sub(codeSize);
    f->body = nesting < kMaxFunctionNesting ? decodeBlock(body, nesting + 1) : std::make_shared<ActionList>();
    return f;
}

struct Targets {
    std::map<size_t, size_t> indexAt;  // byte offset -> action index
    // action index, which field, target byte offset
    enum Field { Next, Catch, Finally, End };
    struct Branch {
        size_t action;
        Field field;
        int64_t target;
    };
    std::vector<Branch> branches;
};

void decodeOne(Reader& r, Action& a, size_t index, Targets& t, int nesting) {
    Reader args;
    if (a.code >= 0x80) args = r.sub(r.u16());
    switch (ActionCode(a.code)) {
        case ActionCode::GotoFrame: a.frame = args.u16(); break;
        case ActionCode::GotoLabel:
        case ActionCode::SetTarget: a.text = args.cstring(); break;
        case ActionCode::GetURL:
            a.text = args.cstring();
            a.text2 = args.cstring();
            break;
        case ActionCode::GetURL2:
        case ActionCode::StoreRegister: a.flags = args.u8(); break;
        case ActionCode::GotoFrame2: {
            uint8_t flags = args.u8();
            a.play = flags & 0x01;
            if (flags & 0x02) a.sceneBias = args.u16();
            break;
        }
        case ActionCode::WaitForFrame:
            a.frame = args.u16();
            a.flags = args.u8();  // actions to skip when the frame is not loaded
            break;
        case ActionCode::WaitForFrame2: a.flags = args.u8(); break;
        case ActionCode::ConstantPool: {
            size_t count = args.u16();
            for (size_t i = 0; i < count && !args.atEnd(); ++i)
                a.pool.push_back(std::make_shared<const std::string>(args.cstring()));
            break;
        }
        case ActionCode::Push: readPush(args, a); break;
        case ActionCode::Jump:
        case ActionCode::If: t.branches.push_back({index, Targets::Next, int64_t(r.position()) + args.s16()}); break;
        case ActionCode::DefineFunction:
        case ActionCode::DefineFunction2:
            a.function = readFunction(r, args, ActionCode(a.code) == ActionCode::DefineFunction2, nesting);
            break;
        case ActionCode::With: t.branches.push_back({index, Targets::Next, int64_t(r.position()) + args.u16()}); break;
        case ActionCode::Try: {
            a.flags = args.u8();
            int64_t trySize = args.u16(), catchSize = args.u16(), finallySize = args.u16();
            if (a.flags & 0x04) a.frame = args.u8();  // the catch variable is a register
            else a.text = args.cstring();
            int64_t start = int64_t(r.position());
            t.branches.push_back({index, Targets::Catch, start + trySize});
            t.branches.push_back({index, Targets::Finally, start + trySize + catchSize});
            t.branches.push_back({index, Targets::End, start + trySize + catchSize + finallySize});
            break;
        }
        default: break;
    }
}

// Branch offsets count bytes from the end of the branching action; they are mapped to indices
// here, and a branch into the middle of an action or outside the block ends the block.
ActionListPtr decodeBlock(Reader& r, int nesting) {
    auto list = std::make_shared<ActionList>();
    auto& actions = list->actions;
    Targets t;
    std::vector<size_t> waits;
    while (!r.atEnd() && actions.size() < kMaxActionsPerFrame) {
        size_t start = r.position();
        Action a;
        t.indexAt[start] = actions.size();
        try {
            a.code = r.u8();
            if (a.code == 0) break;
            decodeOne(r, a, actions.size(), t, nesting);
        } catch (const ParseError&) {
            break;  // a damaged action ends the block; what came before still runs
        }
        if (a.code == uint8_t(ActionCode::WaitForFrame) || a.code == uint8_t(ActionCode::WaitForFrame2))
            waits.push_back(actions.size());
        actions.push_back(std::move(a));
    }
    t.indexAt.emplace(r.position(), actions.size());
    for (const auto& b : t.branches) {
        auto it = b.target >= 0 ? t.indexAt.find(size_t(b.target)) : t.indexAt.end();
        size_t target = it != t.indexAt.end() ? it->second : actions.size();
        Action& a = actions[b.action];
        switch (b.field) {
            case Targets::Next: a.next = target; break;
            case Targets::Catch: a.catchStart = target; break;
            case Targets::Finally: a.finallyStart = target; break;
            case Targets::End: a.end = target; break;
        }
    }
    for (size_t i : waits) actions[i].next = std::min(actions.size(), i + 1 + actions[i].flags);
    return list;
}

}  // namespace

ActionListPtr decodeActions(Reader& r) { return decodeBlock(r, 0); }

}  // namespace swf
