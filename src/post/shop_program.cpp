#include "post/shop_program.h"

#include "post/post.h"

namespace ventaro {

std::string shopProgram(const ShopPlan& plan, Controller controller) {
  if (controller == Controller::Plain) {
    throw ShopError("the shop job is written for a machine: LinuxCNC or GRBL, not the plain controller");
  }
  const Toolpath path = shopToolpath(plan);
  GcodeWriter out;
  out.expectMoves(path.ops.size());
  const std::unique_ptr<Post> post = makePost(controller, out);
  post->comment("Blade from its block, for " + std::string(controllerName(controller)));
  post->write(path);
  return out.take();
}

}  // namespace ventaro
