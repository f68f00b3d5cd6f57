document.addEventListener("DOMContentLoaded", function () {
  document.getElementById("app").textContent = "Web mail";
});
