-- pandoc filter for the user's guide beside the program. The Markdown names its
-- sibling pages and pictures as they lie in docs/guide/; beside the program the
-- pages are .htm (opened by a browser on every Windows since 95) and the pictures
-- .gif (Internet Explorer 3 shows no PNG).
function Link(link)
  link.target = link.target:gsub('^(%a%a)%.md$', '%1.htm')
  return link
end

function Image(image)
  image.src = image.src:gsub('^(img/[%w-]+)%.png$', '%1.gif')
  return image
end

-- The page's title is the guide's first heading, which stays in the page as well.
function Pandoc(doc)
  for _, block in ipairs(doc.blocks) do
    if block.t == 'Header' and block.level == 1 then
      doc.meta.pagetitle = pandoc.utils.stringify(block)
      break
    end
  end
  return doc
end
