#include "post/shop_program.h"

#include "post/post.h"

namespace ventaro {

namespace {

std::string posted(const Toolpath& path, Controller controller, const std::string& title) {
  GcodeWriter out;
  out.expectMoves(path.ops.size());
  const std::unique_ptr<Post> post = makePost(controller, out);
  post->comment(title);
  post->write(path);
  return out.take();
}

}  // namespace

std::vector<ProgramPart> shopPrograms(const ShopPlan& plan, Controller controller) {
  return shopPrograms(plan, controller, "Blade from its block");
}

std::vector<ProgramPart> shopPrograms(const ShopPlan& plan, Controller controller, const std::string& what) {
  if (controller == Controller::Plain) {
    throw ShopError("the shop job is written for a machine: LinuxCNC or GRBL, not the plain controller");
  }
  const std::string title = what + ", for " + std::string(controllerName(controller));
  if (controller != Controller::Grbl) return {{"", posted(shopToolpath(plan), controller, title)}};
  std::vector<ProgramPart> parts;
  const std::vector<Toolpath> paths = shopToolpathPerTool(plan);
  for (std::size_t k = 0; k < paths.size(); ++k) {
    const std::string tool = "T" + std::to_string(plan.tools[k].number);
    parts.push_back({"-" + tool, posted(paths[k], controller,
                                        title + ", " + tool + ": program " + std::to_string(k + 1) + " of " +
                                            std::to_string(paths.size()))});
  }
  return parts;
}

std::string joinedProgram(const std::vector<ProgramPart>& parts) {
  std::string text;
  for (const ProgramPart& part : parts) {
    if (!text.empty()) text += "\r\n";
    text += part.text;
  }
  return text;
}

std::string shopProgram(const ShopPlan& plan, Controller controller) {
  return joinedProgram(shopPrograms(plan, controller));
}

}  // namespace ventaro
