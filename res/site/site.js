// The offline site's pages ask the browser to open addresses through their tool window: a dialog
// text "ORREL:" + address opens the address in a new browser tab.
function openInBrowser(link) {
  alert("ORREL:" + link.href);
  return false;
}

// The site root: the part of the address before "home/index.php" on the vendor's site, or the
// folder of the page on the offline site.
function siteRoot() {
  var address = location.href.split("#")[0].split("?")[0];
  var dynamic = address.indexOf("home/index.php");
  return dynamic >= 0 ? address.substring(0, dynamic) : address.substring(0, address.lastIndexOf("/") + 1);
}

// Links marked data-site="path" point at that path of the site root; links marked data-open open
// in the browser.
document.addEventListener("DOMContentLoaded", function () {
  document.querySelectorAll("a[data-site]").forEach(function (link) {
    link.href = siteRoot() + link.getAttribute("data-site");
  });
  document.querySelectorAll("a[data-open]").forEach(function (link) {
    link.onclick = function () { return openInBrowser(link); };
  });
});
